// Sound, on Web Audio. Each effect is a buffer; each play is a voice: the
// buffer, a left and a right gain making the balance (the centre keeps both
// sides at full level, a side fades the other) and the volume. At most 16
// voices; a play that finds them all busy takes the oldest. A page may start
// its sound only after the user has done something on it, so a context the
// browser holds back is resumed at the first key or touch.
// The mixer is window.tarvo.audio (and Module.audio): its context, its
// buffers and voices, and how many plays it has started.
'use strict';
(function (parts) {
  function mixer() { return window.tarvo.audio; }
  parts.audio = {
    available: function () { return !!(window.AudioContext || window.webkitAudioContext); },
    openAudio: function () {
      if (mixer()) return true;
      var Context = window.AudioContext || window.webkitAudioContext;
      if (!Context) return false;
      var ctx;
      try { ctx = new Context(); } catch (e) { return false; }
      window.tarvo.audio = Module.audio = { ctx: ctx, buffers: [], voices: [], played: 0 };
      var resume = function () {
        if (ctx.state === 'suspended' && !document.hidden) ctx.resume();
      };
      window.addEventListener('keydown', resume, true);
      window.addEventListener('mousedown', resume, true);
      window.addEventListener('touchstart', resume, true);
      // A hidden page makes no sound; shown again, it goes on.
      document.addEventListener('visibilitychange', function () {
        if (document.hidden) ctx.suspend(); else resume();
      });
      return true;
    },
    // One array of samples a channel: the effect's handle, counted from 1.
    loadSound: function (samples, rate) {
      var a = mixer(), buffer = null;
      if (!a) return 0;
      try {
        buffer = a.ctx.createBuffer(samples.length, samples[0].length, rate);
        samples.forEach(function (channel, c) { buffer.copyToChannel(channel, c); });
      } catch (e) {
        buffer = null;
      }
      a.buffers.push(buffer);
      return a.buffers.length;
    },
    playSound: function (sound, volume, pan, loop) {
      var a = mixer();
      var buffer = a && a.buffers[sound - 1];
      if (!buffer) return;
      var ctx = a.ctx;
      if (a.voices.length >= 16) {
        var oldest = a.voices.shift();
        try { oldest.source.stop(); } catch (e) {}
      }
      var source = ctx.createBufferSource();
      source.buffer = buffer;
      source.loop = loop;
      var p = Math.max(-1, Math.min(1, pan));
      var left = ctx.createGain(), right = ctx.createGain(), level = ctx.createGain();
      left.gain.value = Math.min(1, 1 - p);
      right.gain.value = Math.min(1, 1 + p);
      level.gain.value = Math.max(0, Math.min(1, volume));
      var merger = ctx.createChannelMerger(2);
      source.connect(left).connect(merger, 0, 0);
      source.connect(right).connect(merger, 0, 1);
      merger.connect(level).connect(ctx.destination);
      var voice = { sound: sound, source: source, level: level };
      source.onended = function () {
        var i = a.voices.indexOf(voice);
        if (i >= 0) a.voices.splice(i, 1);
      };
      a.voices.push(voice);
      a.played += 1;
      source.start();
    },
    // Stops the voices of one effect (0: all) with a fade of 40 ms, so
    // nothing clicks.
    stopSound: function (sound) {
      var a = mixer();
      if (!a) return;
      var now = a.ctx.currentTime;
      a.voices.slice().forEach(function (voice) {
        if (sound !== 0 && voice.sound !== sound) return;
        voice.level.gain.setValueAtTime(voice.level.gain.value, now);
        voice.level.gain.linearRampToValueAtTime(0, now + 0.04);
        try { voice.source.stop(now + 0.04); } catch (e) {}
        var i = a.voices.indexOf(voice);
        if (i >= 0) a.voices.splice(i, 1);
      });
    },
  };
})(PageParts);
