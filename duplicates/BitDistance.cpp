#include "duplicates/BitDistance.h"

#include <algorithm>

namespace sonalog {

namespace {
constexpr size_t kWord = 64;
}

BitDistance::BitDistance() : masks_(256, 0) {}

void BitDistance::setPattern(std::string_view pattern) {
  pattern = pattern.substr(0, std::min(pattern.size(), kEditDistanceLimit));
  const size_t blocks = (pattern.size() + kWord - 1) / kWord;
  if (blocks == blocks_) {
    // Only the masks of the previous pattern's bytes are non-zero.
    for (const unsigned char c : pattern_)
      std::fill_n(masks_.begin() + static_cast<std::ptrdiff_t>(c * blocks_), blocks_, 0);
  } else {
    masks_.assign(256 * std::max<size_t>(blocks, 1), 0);
  }
  blocks_ = blocks;
  length_ = pattern.size();
  for (size_t i = 0; i < pattern.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(pattern[i]);
    masks_[c * blocks_ + i / kWord] |= uint64_t{1} << (i % kWord);
  }
  pattern_.assign(pattern);
  plus_.assign(blocks_, 0);
  minus_.assign(blocks_, 0);
}

uint32_t BitDistance::distance(std::string_view text) const {
  text = text.substr(0, std::min(text.size(), kEditDistanceLimit));
  if (length_ == 0) return static_cast<uint32_t>(text.size());
  if (text.empty()) return static_cast<uint32_t>(length_);
  const uint64_t last = uint64_t{1} << ((length_ - 1) % kWord);
  uint32_t score = static_cast<uint32_t>(length_);

  if (blocks_ == 1) {
    uint64_t vp = ~uint64_t{0};
    uint64_t vn = 0;
    for (const unsigned char c : text) {
      const uint64_t eq = masks_[c];
      const uint64_t xv = eq | vn;
      const uint64_t xh = (((eq & vp) + vp) ^ vp) | eq;
      uint64_t hp = vn | ~(xh | vp);
      uint64_t hn = vp & xh;
      if (hp & last) ++score;
      else if (hn & last) --score;
      // Row 0 of the table is 0, 1, 2, ...: each text byte adds +1 at the top.
      hp = (hp << 1) | 1;
      hn <<= 1;
      vp = hn | ~(xv | hp);
      vn = hp & xv;
    }
    return score;
  }

  std::fill(plus_.begin(), plus_.end(), ~uint64_t{0});
  std::fill(minus_.begin(), minus_.end(), 0);
  const uint64_t high = uint64_t{1} << (kWord - 1);
  for (const unsigned char c : text) {
    const uint64_t* eqs = &masks_[c * blocks_];
    int carry = 1;  // horizontal delta entering the block from above
    for (size_t b = 0; b < blocks_; ++b) {
      uint64_t eq = eqs[b];
      const uint64_t vp = plus_[b];
      const uint64_t vn = minus_[b];
      const uint64_t xv = eq | vn;
      if (carry < 0) eq |= 1;
      const uint64_t xh = (((eq & vp) + vp) ^ vp) | eq;
      uint64_t hp = vn | ~(xh | vp);
      uint64_t hn = vp & xh;
      const uint64_t out = (b + 1 == blocks_) ? last : high;
      const int next = (hp & out) ? 1 : (hn & out) ? -1 : 0;
      hp <<= 1;
      hn <<= 1;
      if (carry < 0) hn |= 1;
      else if (carry > 0) hp |= 1;
      plus_[b] = hn | ~(xv | hp);
      minus_[b] = hp & xv;
      carry = next;
    }
    score = static_cast<uint32_t>(static_cast<int64_t>(score) + carry);
  }
  return score;
}

}  // namespace sonalog
