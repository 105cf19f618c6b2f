#include "audio_xm.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace tarq::forge::xm {
namespace {

class Bytes {
 public:
  std::vector<uint8_t> v;
  void U8(int x) { v.push_back(static_cast<uint8_t>(x)); }
  void U16(int x) {
    U8(x & 0xFF);
    U8((x >> 8) & 0xFF);
  }
  void U32(uint32_t x) {
    U16(static_cast<int>(x & 0xFFFF));
    U16(static_cast<int>(x >> 16));
  }
  void Text(const std::string& s, size_t width) {
    for (size_t i = 0; i < width; ++i) U8(i < s.size() ? s[i] : 0);
  }
  void Zeros(size_t n) { v.insert(v.end(), n, 0); }
  size_t Size() const { return v.size(); }
  void Patch16(size_t at, int x) {
    v[at] = static_cast<uint8_t>(x & 0xFF);
    v[at + 1] = static_cast<uint8_t>((x >> 8) & 0xFF);
  }
};

void WritePattern(Bytes& b, const Pattern& p) {
  b.U32(9);  // header length
  b.U8(0);   // packing type
  b.U16(p.rows);
  const size_t sizeAt = b.Size();
  b.U16(0);
  const size_t start = b.Size();
  for (const Cell& c : p.cells) {
    // Packed cells: a flag byte (bit 7 set) says which fields follow.
    int flags = 0x80;
    if (c.note) flags |= 1;
    if (c.instrument) flags |= 2;
    if (c.volume) flags |= 4;
    if (c.effect) flags |= 8;
    if (c.param) flags |= 16;
    b.U8(flags);
    if (c.note) b.U8(c.note);
    if (c.instrument) b.U8(c.instrument);
    if (c.volume) b.U8(c.volume);
    if (c.effect) b.U8(c.effect);
    if (c.param) b.U8(c.param);
  }
  const size_t packed = b.Size() - start;
  if (packed > 0xFFFF) throw std::runtime_error("XM pattern too large");
  b.Patch16(sizeAt, static_cast<int>(packed));
}

void WriteInstrument(Bytes& b, const Instrument& in) {
  const size_t headerStart = b.Size();
  b.U32(263);  // instrument header size
  b.Text(in.name, 22);
  b.U8(0);
  b.U16(1);    // one sample
  b.U32(40);   // sample header size
  b.Zeros(96);  // every note uses sample 0
  const auto& pts = in.volumeEnvelope.points;
  if (pts.size() > 12) throw std::runtime_error("XM envelope too long");
  for (size_t i = 0; i < 12; ++i) {
    b.U16(i < pts.size() ? pts[i].first : 0);
    b.U16(i < pts.size() ? pts[i].second : 0);
  }
  b.Zeros(48);  // panning envelope
  b.U8(static_cast<int>(pts.size()));
  b.U8(0);
  b.U8(std::max(in.volumeEnvelope.sustain, 0));
  b.U8(0);
  b.U8(0);
  b.Zeros(3);
  int type = in.volumeEnvelope.On() ? 1 : 0;
  if (in.volumeEnvelope.On() && in.volumeEnvelope.sustain >= 0) type |= 2;
  b.U8(type);
  b.U8(0);
  b.U8(in.vibratoType);
  b.U8(in.vibratoSweep);
  b.U8(in.vibratoDepth);
  b.U8(in.vibratoRate);
  b.U16(in.fadeout);
  b.Zeros(263 - (b.Size() - headerStart));

  // Sample header; lengths are in bytes for 16-bit data.
  b.U32(static_cast<uint32_t>(in.data.size() * 2));
  b.U32(static_cast<uint32_t>(in.loopStart * 2));
  b.U32(static_cast<uint32_t>(in.loopLength * 2));
  b.U8(std::clamp(in.volume, 0, 64));
  b.U8(static_cast<uint8_t>(static_cast<int8_t>(std::clamp(in.finetune, -128, 127))));
  b.U8((in.loopLength > 0 ? 1 : 0) | 0x10);
  b.U8(std::clamp(in.panning, 0, 255));
  b.U8(static_cast<uint8_t>(static_cast<int8_t>(std::clamp(in.relativeNote, -96, 95))));
  b.U8(0);
  b.Text(in.name, 22);
  // Sample data, delta-coded.
  int16_t old = 0;
  for (int16_t s : in.data) {
    b.U16(static_cast<uint16_t>(static_cast<int16_t>(s - old)));
    old = s;
  }
}

}  // namespace

void TuneForRate(Instrument& in, double rate) {
  const double semitones = 12.0 * std::log2(rate / 8363.0);
  int rel = static_cast<int>(std::floor(semitones + 0.5));
  int fine = static_cast<int>(std::lround((semitones - rel) * 128.0));
  if (fine > 127) {
    rel += 1;
    fine -= 128;
  }
  if (fine < -128) {
    rel -= 1;
    fine += 128;
  }
  in.relativeNote = rel;
  in.finetune = fine;
}

std::vector<uint8_t> Write(const Module& m) {
  if (m.orders.empty() || m.orders.size() > 256) throw std::runtime_error("XM order list size");
  Bytes b;
  b.Text("Extended Module: ", 17);
  b.Text(m.name, 20);
  b.U8(0x1A);
  b.Text("TARQ forge", 20);
  b.U16(0x0104);
  b.U32(276);
  b.U16(static_cast<int>(m.orders.size()));
  b.U16(m.restart);
  b.U16(m.channels);
  b.U16(static_cast<int>(m.patterns.size()));
  b.U16(static_cast<int>(m.instruments.size()));
  b.U16(1);  // linear frequency table
  b.U16(m.speed);
  b.U16(m.tempo);
  for (size_t i = 0; i < 256; ++i) b.U8(i < m.orders.size() ? m.orders[i] : 0);
  for (const Pattern& p : m.patterns) WritePattern(b, p);
  for (const Instrument& in : m.instruments) WriteInstrument(b, in);
  return b.v;
}

}  // namespace tarq::forge::xm
