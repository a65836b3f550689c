// The game's files, downloaded with the bar following all of them where
// their sizes are known. The package and the program come gzip-compressed
// (their first bytes 1f 8b), whatever the server does.
'use strict';
(function (parts) {
  var progress = document.getElementById('progress');
  var sizes = {}, got = {};
  function showProgress() {
    var total = 0, done = 0;
    Object.keys(sizes).forEach(function (name) { total += sizes[name]; done += got[name]; });
    if (total) progress.value = Math.min(1, done / total);
  }
  function download(name, response) {
    sizes[name] = Number(response.headers.get('Content-Length')) || 0;
    got[name] = 0;
    if (!response.body || !sizes[name]) return response.arrayBuffer();
    var reader = response.body.getReader(), pieces = [];
    function next() {
      return reader.read().then(function (piece) {
        if (piece.done) {
          var all = new Uint8Array(got[name]), at = 0;
          pieces.forEach(function (p) { all.set(p, at); at += p.length; });
          return all.buffer;
        }
        pieces.push(piece.value);
        got[name] += piece.value.length;
        showProgress();
        return next();
      });
    }
    return next();
  }
  function unpack(data) {
    var bytes = new Uint8Array(data, 0, Math.min(2, data.byteLength));
    if (bytes[0] !== 0x1f || bytes[1] !== 0x8b) return data;
    if (typeof DecompressionStream !== 'function') throw new Error('this browser cannot unpack it');
    return new Response(new Blob([data]).stream().pipeThrough(new DecompressionStream('gzip'))).arrayBuffer();
  }
  // One file, unpacked; a failure names the file.
  function fetchPacked(name) {
    return fetch(name).then(function (response) {
      if (!response.ok) throw new Error('HTTP ' + response.status);
      return download(name, response);
    }).then(unpack).catch(function (error) {
      var failure = new Error(error.message);
      failure.file = name;
      throw failure;
    });
  }
  // All of them, the bar gone once they are in hand or one has failed.
  function fetchAll(names) {
    var done = function () {
      progress.hidden = true;
    };
    return Promise.all(names.map(fetchPacked)).then(function (files) {
      progress.value = 1;
      done();
      return files;
    }, function (error) {
      done();
      throw error;
    });
  }
  parts.downloads = { fetchAll: fetchAll };
})(PageParts);
