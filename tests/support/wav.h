// Small WAV files for tests that run a real encoder.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>

namespace testwav {

inline void Put16(std::string& s, uint16_t v) {
  s += static_cast<char>(v & 0xff);
  s += static_cast<char>(v >> 8);
}

inline void Put32(std::string& s, uint32_t v) {
  Put16(s, static_cast<uint16_t>(v & 0xffff));
  Put16(s, static_cast<uint16_t>(v >> 16));
}

// Half a second of a sine, 44.1 kHz, 16-bit stereo PCM.
inline std::string SineWav(double hz) {
  const uint32_t rate = 44100, frames = rate / 2;
  const uint16_t channels = 2, bits = 16;
  std::string data;
  for (uint32_t i = 0; i < frames; ++i) {
    const auto v = static_cast<int16_t>(12000 * std::sin(2 * M_PI * hz * i / rate));
    for (int c = 0; c < channels; ++c) Put16(data, static_cast<uint16_t>(v));
  }
  std::string wav = "RIFF";
  Put32(wav, static_cast<uint32_t>(36 + data.size()));
  wav += "WAVEfmt ";
  Put32(wav, 16);
  Put16(wav, 1);  // PCM
  Put16(wav, channels);
  Put32(wav, rate);
  Put32(wav, rate * channels * bits / 8);
  Put16(wav, static_cast<uint16_t>(channels * bits / 8));
  Put16(wav, bits);
  wav += "data";
  Put32(wav, static_cast<uint32_t>(data.size()));
  return wav + data;
}

}  // namespace testwav
