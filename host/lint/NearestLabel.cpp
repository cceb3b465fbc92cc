#include "lint/NearestLabel.h"

#include "plugins/Registry.h"

#include <algorithm>
#include <array>
#include <tuple>

namespace directive_host {

namespace {

constexpr std::size_t kBound = kMaxSuggestionEdits;
constexpr std::uint8_t kFar = kBound + 1;

// The cells of one row of the edit distance table that can still be within
// the bound: row d (a prefix of d bytes of one string) against the prefixes
// of j = d - kBound + t bytes of the other, t from 0 to 2 * kBound. A cell
// whose j lies outside the other string holds kFar.
using Band = std::array<std::uint8_t, 2 * kBound + 1>;

std::uint8_t Capped(std::size_t distance) {
  return static_cast<std::uint8_t>(std::min<std::size_t>(distance, kFar));
}

// The band of row 0, against `other`.
Band FirstBand(std::string_view other) {
  Band band;
  for (std::size_t t = 0; t < band.size(); ++t) {
    band[t] =
        t < kBound || t - kBound > other.size() ? kFar : Capped(t - kBound);
  }
  return band;
}

// The band of row `d` from that of row d - 1, whose last byte is `c`.
Band NextBand(const Band &previous, char c, std::string_view other,
              std::size_t d) {
  Band band;
  for (std::size_t t = 0; t < band.size(); ++t) {
    if (d + t < kBound || d + t - kBound > other.size()) {
      band[t] = kFar;
      continue;
    }
    const std::size_t j = d + t - kBound;
    if (j == 0) {
      band[t] = Capped(d);
      continue;
    }
    std::size_t best = previous[t] + (other[j - 1] != c ? 1u : 0u);
    if (t + 1 < band.size()) {
      best = std::min<std::size_t>(best, previous[t + 1] + 1u);
    }
    if (t > 0) {
      best = std::min<std::size_t>(best, band[t - 1] + 1u);
    }
    band[t] = Capped(best);
  }
  return band;
}

bool Hopeless(const Band &band) {
  return *std::min_element(band.begin(), band.end()) >= kFar;
}

// The distance that the band of row `d` gives for the whole of `other`.
std::uint8_t DistanceIn(const Band &band, std::size_t d,
                        std::string_view other) {
  const std::size_t t = other.size() + kBound;
  return t < d || t - d >= band.size() ? kFar : band[t - d];
}

} // namespace

std::size_t EditDistance(std::string_view a, std::string_view b) {
  Band band = FirstBand(b);
  for (std::size_t d = 1; d <= a.size(); ++d) {
    band = NextBand(band, a[d - 1], b, d);
    if (Hopeless(band)) {
      return kFar;
    }
  }
  return DistanceIn(band, a.size(), b);
}

NearestLabels::NearestLabels(const LabelTable &definitions) {
  definitions.ForEach([&](std::string_view label, std::size_t line) {
    entries_.push_back({folded_.size(), label.size(), {label, line}});
    folded_ += AsciiUpper(label);
  });
  std::sort(
      entries_.begin(), entries_.end(),
      [&](const Entry &a, const Entry &b) { return Folded(a) < Folded(b); });
}

std::optional<NearLabel> NearestLabels::Nearest(std::string_view label) const {
  const std::string query = AsciiUpper(label);
  std::optional<NearLabel> best;
  std::tuple<std::size_t, std::size_t, std::size_t> bestKey;
  const auto consider = [&](const Entry &entry, std::size_t folded) {
    if (folded > kBound || folded >= query.size()) {
      return;
    }
    const auto key = std::make_tuple(
        folded, EditDistance(label, entry.target.label), entry.target.line);
    if (!best || key < bestKey) {
      best = entry.target;
      bestKey = key;
    }
  };
  // A node of the trie: the entries [begin, end), which share their first
  // `depth` bytes, and the band of that prefix against the query.
  struct Node {
    std::size_t begin, end, depth;
    Band band;
  };
  std::vector<Node> pending = {{0, entries_.size(), 0, FirstBand(query)}};
  while (!pending.empty()) {
    const Node node = pending.back();
    pending.pop_back();
    std::size_t i = node.begin;
    // A label that is the prefix itself sorts before those that go on.
    for (; i < node.end && entries_[i].length == node.depth; ++i) {
      consider(entries_[i], DistanceIn(node.band, node.depth, query));
    }
    const auto byteAt = [&](std::size_t e) {
      return static_cast<unsigned char>(Folded(entries_[e])[node.depth]);
    };
    // The entries from `from` on whose next byte is `c`.
    const auto descend = [&](std::size_t from, unsigned char c) {
      const auto first = entries_.begin() + static_cast<std::ptrdiff_t>(from);
      const auto last =
          entries_.begin() + static_cast<std::ptrdiff_t>(node.end);
      const auto byteIs = [&](const Entry &entry, unsigned than) {
        return static_cast<unsigned char>(Folded(entry)[node.depth]) < than;
      };
      const std::size_t begin = static_cast<std::size_t>(
          std::lower_bound(first, last, unsigned{c}, byteIs) -
          entries_.begin());
      const std::size_t end = static_cast<std::size_t>(
          std::lower_bound(first, last, c + 1u, byteIs) - entries_.begin());
      const Band band =
          NextBand(node.band, static_cast<char>(c), query, node.depth + 1);
      if (begin < end && !Hopeless(band)) {
        pending.push_back({begin, end, node.depth + 1, band});
      }
      return end;
    };
    if (*std::min_element(node.band.begin(), node.band.end()) < kBound) {
      while (i < node.end) {
        i = descend(i, byteAt(i));
      }
      continue;
    }
    // At the bound only a byte that matches the query where a cell is at
    // the bound keeps the distance there: a few children, not all of them.
    std::array<unsigned char, 2 * kBound + 1> matches;
    std::size_t count = 0;
    for (std::size_t t = 0; t < node.band.size(); ++t) {
      const std::size_t j = node.depth + 1 + t;
      if (node.band[t] == kBound && j > kBound && j - kBound <= query.size()) {
        matches[count++] = static_cast<unsigned char>(query[j - kBound - 1]);
      }
    }
    for (std::size_t k = 0; k < count; ++k) {
      if (std::find(matches.begin(), matches.begin() + k, matches[k]) ==
          matches.begin() + k) {
        descend(i, matches[k]);
      }
    }
  }
  return best;
}

} // namespace directive_host
