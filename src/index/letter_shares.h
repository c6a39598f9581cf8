#pragma once
// How often each letter turns up in directory names, roughly as in English
// text. The fast scans look for a word's rarest letter first.

namespace zrn {

// The share in percent of the letter A + index (0 to 25).
inline double letter_share(int index) {
  static constexpr double kShares[26] = {8.2, 1.5, 2.8, 4.3, 12.7, 2.2, 2.0, 6.1, 7.0, 0.2, 0.8, 4.0, 2.4,
                                         6.7, 7.5, 1.9, 0.1, 6.0,  6.3, 9.1, 2.8, 1.0, 2.4, 0.2, 2.0, 0.1};
  return kShares[index];
}

}  // namespace zrn
