#include "net/MatchTree.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace quelvar {

namespace {

// How many leading bytes of the kLzssLookAhead-byte strings a and b are
// equal, and the sign of the first difference (a's byte minus b's, unsigned
// bytes; 0 when all are equal). Bytes before `from` are known to be equal.
// Eight bytes at a time: this is the compressor's inner loop.
int32_t EqualLength(const uint8_t* a, const uint8_t* b, int32_t from, int& delta) {
  constexpr int32_t kWord = 8;
  int32_t i = from;
  for (; i + kWord <= kLzssLookAhead; i += kWord) {
    uint64_t x = 0;
    uint64_t y = 0;
    std::memcpy(&x, a + i, kWord);
    std::memcpy(&y, b + i, kWord);
    if (x != y) {
      const uint64_t diff = x ^ y;
      const int bits = std::endian::native == std::endian::little ? std::countr_zero(diff) : std::countl_zero(diff);
      i += bits / 8;
      delta = a[i] - b[i];
      return i;
    }
  }
  for (; i < kLzssLookAhead; ++i) {
    if (a[i] != b[i]) {
      delta = a[i] - b[i];
      return i;
    }
  }
  delta = 0;
  return i;
}

}  // namespace

void MatchTree::InitMatchTree(int32_t rootPosition) {
  nodes_.fill(Node{});
  At(kRoot).larger = static_cast<Link>(rootPosition);
  At(rootPosition) = Leaf(kRoot);
  last_ = Neighbours{};
}

int32_t MatchTree::AddMatchString(int32_t newPosition, int32_t& matchPosition) {
  if (newPosition == kNoNode) {
    last_ = Neighbours{};
    return 0;
  }
  int32_t length = 0;
  if (AddNextToNeighbours(newPosition, matchPosition, length)) return length;
  return AddFromRoot(newPosition, matchPosition);
}

int32_t MatchTree::AddFromRoot(int32_t newPosition, int32_t& matchPosition) {
  return DescendFrom(kRoot, newPosition, kNoNode, 0, kNoNode, 0, matchPosition);
}

// A node met on a descent from the root is on the new string's path, and so
// are all of its ancestors; of the nodes on that path, those below and above
// the new string grow closer to it, and so no shorter in their equal length,
// the deeper they lie. Hence: the longest match is with the nearest node
// below or above, a tie goes to the deeper of the two, and a search may
// start at any node of the path once it knows the nearest nodes above it.
bool MatchTree::AddNextToNeighbours(int32_t newPosition, int32_t& matchPosition, int32_t& length) {
  if (last_.position != WrapWindowPosition(newPosition - 1)) return false;
  const uint8_t* newString = window_.StringAt(newPosition);

  if (last_.kind == Neighbours::kFull) {
    // The previous string equalled the one at `lower`; shifted, this one
    // equals the next unless the byte that came in differs.
    const int32_t same = WrapWindowPosition(last_.lower + 1);
    if (!InTree(same) || std::memcmp(newString, window_.StringAt(same), kLzssLookAhead) != 0) return false;
    length = TakeFullMatch(same, newPosition, matchPosition);
    return true;
  }

  // Shifted by one byte, the previous string's lower neighbour stays below
  // this string with one equal byte less (when at least one was equal).
  if (last_.kind != Neighbours::kBetween || last_.lower == kNoNode || last_.lowerLength < 1) return false;
  const int32_t below = WrapWindowPosition(last_.lower + 1);
  const int32_t belowLength = last_.lowerLength - 1;
  if (!InTree(below) || newString[belowLength] <= window_.StringAt(below)[belowLength]) return false;
  int32_t above = kNoNode;
  int32_t aboveLength = 0;
  if (last_.upper != kNoNode && last_.upperLength >= 1) {
    const int32_t candidate = WrapWindowPosition(last_.upper + 1);
    aboveLength = last_.upperLength - 1;
    if (InTree(candidate) && newString[aboveLength] < window_.StringAt(candidate)[aboveLength]) above = candidate;
  }

  // Climb from `below` to the highest ancestor still below the new string:
  // the new string's path leaves the path to `below` there. The ancestors
  // whose smaller side holds `below` are above it; the first of them that is
  // also above the new string ends the climb.
  int32_t start = below;
  int32_t startLength = belowLength;
  int32_t bound = kNoNode;
  int32_t boundLength = 0;
  for (int32_t child = below;;) {
    const int32_t parent = At(child).parent;
    if (parent == kRoot) break;
    if (At(parent).larger == child) {
      child = parent;
      continue;
    }
    if (parent == above) {
      bound = above;
      boundLength = aboveLength;
      break;
    }
    int delta = 0;
    const int32_t equal = EqualLength(newString, window_.StringAt(parent), 0, delta);
    if (delta == 0) {
      length = TakeFullMatch(parent, newPosition, matchPosition);
      return true;
    }
    if (delta < 0) {
      bound = parent;
      boundLength = equal;
      break;
    }
    start = parent;
    startLength = equal;
    child = parent;
  }
  length = DescendFrom(start, newPosition, start, startLength, bound, boundLength, matchPosition);
  return true;
}

int32_t MatchTree::DescendFrom(int32_t start, int32_t newPosition, int32_t lower, int32_t lowerLength,
                               int32_t upper, int32_t upperLength, int32_t& matchPosition) {
  // The nodes already known lie on the path, `upper` above `lower`; of equal
  // lengths the deeper one wins, as it would on the way down.
  int32_t best = 0;
  if (upper != kNoNode) {
    best = upperLength;
    matchPosition = upper;
  }
  if (lower != kNoNode && lowerLength >= best) {
    best = lowerLength;
    matchPosition = lower;
  }
  const uint8_t* newString = window_.StringAt(newPosition);
  int32_t parent = start;
  Link* slot = &At(start).larger;  // the new string is above start (the root's top is its larger child)
  while (*slot != kNoNode) {
    const int32_t test = *slot;
    // Every node between the two bounds starts with the bytes both share with the new string.
    int delta = 0;
    const int32_t equal =
        EqualLength(newString, window_.StringAt(test), std::min(lowerLength, upperLength), delta);
    if (equal >= best) {
      best = equal;
      matchPosition = test;
      if (best >= kLzssLookAhead) return TakeFullMatch(test, newPosition, matchPosition);
    }
    if (delta >= 0) {
      lower = test;
      lowerLength = equal;
      slot = &At(test).larger;
    } else {
      upper = test;
      upperLength = equal;
      slot = &At(test).smaller;
    }
    parent = test;
  }
  *slot = static_cast<Link>(newPosition);
  At(newPosition) = Leaf(parent);
  last_ = Neighbours{Neighbours::kBetween, newPosition, lower, upper, lowerLength, upperLength};
  return best;
}

int32_t MatchTree::TakeFullMatch(int32_t test, int32_t newPosition, int32_t& matchPosition) {
  ReplaceMatchNode(test, newPosition);
  matchPosition = test;
  last_ = Neighbours{Neighbours::kFull, newPosition, test, kNoNode, 0, 0};
  return kLzssLookAhead;
}

void MatchTree::DeleteMatchString(int32_t position) {
  const Node& node = At(position);
  if (node.parent == kNoNode) return;
  if (node.larger == kNoNode) {
    ContractMatchNode(position, node.smaller);
  } else if (node.smaller == kNoNode) {
    ContractMatchNode(position, node.larger);
  } else {
    const int32_t predecessor = FindPredecessorNode(position);
    DeleteMatchString(predecessor);  // it has no larger child: one contraction
    ReplaceMatchNode(position, predecessor);
  }
}

void MatchTree::ContractMatchNode(int32_t oldNode, int32_t newNode) {
  const int32_t parent = At(oldNode).parent;
  SetParent(newNode, parent);
  if (At(parent).larger == oldNode) {
    At(parent).larger = static_cast<Link>(newNode);
  } else {
    At(parent).smaller = static_cast<Link>(newNode);
  }
  At(oldNode).parent = kNoNode;
}

void MatchTree::ReplaceMatchNode(int32_t oldNode, int32_t newNode) {
  const int32_t parent = At(oldNode).parent;
  if (At(parent).smaller == oldNode) {
    At(parent).smaller = static_cast<Link>(newNode);
  } else {
    At(parent).larger = static_cast<Link>(newNode);
  }
  At(newNode) = At(oldNode);
  SetParent(At(newNode).smaller, newNode);
  SetParent(At(newNode).larger, newNode);
  At(oldNode).parent = kNoNode;
}

int32_t MatchTree::FindPredecessorNode(int32_t node) const {
  int32_t next = At(node).smaller;
  while (At(next).larger != kNoNode) next = At(next).larger;
  return next;
}

}  // namespace quelvar
