#include "tools/sounds/wav.h"

#include <filesystem>
#include <fstream>

#include "tools/sounds/effects.h"

namespace sounds {

namespace {

void Put16(std::string& out, uint32_t value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void Put32(std::string& out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

}  // namespace

std::string EncodeWav(const Samples& samples) {
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::string out;
    out.reserve(44 + dataBytes);
    out += "RIFF";
    Put32(out, 36 + dataBytes);
    out += "WAVEfmt ";
    Put32(out, 16);  // size of the format block
    Put16(out, 1);   // PCM
    Put16(out, 1);   // mono
    Put32(out, kSampleRate);
    Put32(out, kSampleRate * 2);  // bytes a second
    Put16(out, 2);                // bytes a sample frame
    Put16(out, 16);               // bits a sample
    out += "data";
    Put32(out, dataBytes);
    for (float s : samples) Put16(out, static_cast<uint16_t>(ToPcm16(s)));
    return out;
}

std::string SoundFileName(const std::string& name) { return name + ".wav"; }

bool WriteAllSounds(const std::string& folder, std::string& error) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        error = folder + ": " + ec.message();
        return false;
    }
    for (const SoundEntry& sound : AllSounds()) {
        const std::string path = folder + "/" + SoundFileName(sound.name);
        const std::string bytes = EncodeWav(sound.make());
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            error = path + ": not written";
            return false;
        }
    }
    return true;
}

}  // namespace sounds
