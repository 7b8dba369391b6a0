#include "tools/builder/MediaPlan.h"

#include <string>

#include "tools/builder/BuildError.h"

namespace builder {
namespace {

std::string Bytes(uint64_t bytes) {
  return std::to_string(bytes) + " Bytes";
}

}  // namespace

std::optional<int> ParseMediaCount(std::string_view text) {
  if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != text.npos)
    return std::nullopt;
  const int count = std::stoi(std::string(text));
  if (count < 1 || count > kMaxMedia)
    return std::nullopt;
  return count;
}

MediaPlan PlanMedia(std::optional<int> count, std::optional<uint64_t> mediumSize,
                    uint64_t payloadSize, const std::function<uint64_t(int parts)>& firstMedium) {
  if (!count && !mediumSize)
    return {};
  const bool fitsOnOne = mediumSize && firstMedium(0) + payloadSize <= *mediumSize;
  if (count == 1 || (!count && fitsOnOne)) {
    if (mediumSize && !fitsOnOne)
      throw BuildError("Das Setup braucht " + Bytes(firstMedium(0) + payloadSize) +
                       " und passt nicht auf ein Medium von " + Bytes(*mediumSize) +
                       "; mehr Medien angeben (Media=) oder MediumSize allein");
    return {1, {}};
  }
  MediaPlan plan;
  if (count) {
    // Media 2 to N share the payload evenly: the first parts take one byte
    // more when it does not divide.
    const auto parts = static_cast<uint64_t>(*count - 1);
    if (payloadSize < parts)
      throw BuildError("Die Nutzlast hat nur " + Bytes(payloadSize) + "; " +
                       std::to_string(*count) + " Medien ergäben leere Teile");
    for (uint64_t k = 0; k < parts; ++k)
      plan.parts.push_back(payloadSize / parts + (k < payloadSize % parts ? 1 : 0));
  } else {
    const uint64_t parts = payloadSize / *mediumSize + (payloadSize % *mediumSize != 0 ? 1 : 0);
    if (parts + 1 > kMaxMedia)
      throw BuildError("MediumSize " + Bytes(*mediumSize) + " ergäbe " + std::to_string(parts + 1) +
                       " Medien; höchstens " + std::to_string(kMaxMedia) + " gehen");
    for (uint64_t k = 0; k < parts; ++k)
      plan.parts.push_back(k + 1 < parts ? *mediumSize : payloadSize - k * *mediumSize);
  }
  plan.media = static_cast<int>(plan.parts.size()) + 1;
  if (mediumSize) {
    const uint64_t first = firstMedium(static_cast<int>(plan.parts.size()));
    if (first > *mediumSize)
      throw BuildError("Medium 1 braucht " + Bytes(first) +
                       " (Setup.exe, Setup.inf, SZUNPACK.DLL und [Media]) und passt nicht auf ein "
                       "Medium von " +
                       Bytes(*mediumSize));
    if (plan.parts.front() > *mediumSize)
      throw BuildError("Jedes der Medien 2 bis " + std::to_string(plan.media) + " bekäme " +
                       Bytes(plan.parts.front()) +
                       " der Nutzlast und passt nicht auf ein Medium von " + Bytes(*mediumSize) +
                       "; mehr Medien angeben oder Media weglassen");
  }
  return plan;
}

}  // namespace builder
