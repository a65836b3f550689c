// Writing the generated effects: 16-bit PCM WAV, mono, 44100 Hz, the form every mixer reads.
//
// The bytes are built explicitly in little-endian order, whatever the machine's own, so a build
// gives the same files on any machine that computes the same samples.
#pragma once

#include <string>

#include "tools/sounds/synth.h"

namespace sounds {

// The whole file: the 44-byte RIFF/WAVE header, then the samples as 16-bit PCM (ToPcm16).
std::string EncodeWav(const Samples& samples);

// File name of an effect inside the output folder.
std::string SoundFileName(const std::string& name);

// Creates the folder when needed and writes every effect into it; false with `error` set when a
// file cannot be written.
bool WriteAllSounds(const std::string& folder, std::string& error);

}  // namespace sounds
