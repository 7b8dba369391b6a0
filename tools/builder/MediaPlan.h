#pragma once

// How a setup is spread over installation media. Setup.exe's rule is fixed:
// medium 1 carries the program, Setup.inf, the unzip library and the texts;
// payload part k (Disk<k>.id) is asked for as medium k + 1; medium 1 is
// asked for again at the end.

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace builder {

struct MediaPlan {
  /// 0 for one folder without media folders (a download); otherwise the
  /// number of media folders Medium1 … MediumN.
  int media = 0;
  /// The byte sizes of the payload parts Disk1.id … (on Medium2 …); empty
  /// when the payload stays one Setup.szp.
  std::vector<uint64_t> parts;
};

/// The most media a setup is spread over.
inline constexpr int kMaxMedia = 999;

/// A number of media: 1 to kMaxMedia in decimal; nullopt for anything else.
std::optional<int> ParseMediaCount(std::string_view text);

/// Plans the media for a payload of `payloadSize` bytes. `count` asks for
/// exactly that many media (the payload split evenly over media 2 to N);
/// `mediumSize` alone gives as many media of that size as the payload needs,
/// or one when everything fits on it; both given, every medium must fit.
/// `firstMedium` tells the bytes of medium 1 without the payload for a
/// payload in that many parts (Setup.inf says how many). Raises BuildError
/// when a medium does not fit or the plan asks for more than kMaxMedia.
MediaPlan PlanMedia(std::optional<int> count, std::optional<uint64_t> mediumSize,
                    uint64_t payloadSize, const std::function<uint64_t(int parts)>& firstMedium);

}  // namespace builder
