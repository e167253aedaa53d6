#include "net/MatchTree.h"

#include <bit>
#include <cstring>

namespace quelvar {

namespace {

// How many leading bytes of the kLzssLookAhead-byte strings a and b are
// equal, and the sign of the first difference (a's byte minus b's, unsigned
// bytes; 0 when all are equal). Eight bytes at a time: this is the
// compressor's inner loop.
int32_t EqualLength(const uint8_t* a, const uint8_t* b, int& delta) {
  constexpr int32_t kWord = 8;
  int32_t i = 0;
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
  At(kRoot).larger = rootPosition;
  At(rootPosition) = Node{kRoot, kNoNode, kNoNode};
}

int32_t MatchTree::AddMatchString(int32_t newPosition, int32_t& matchPosition) {
  if (newPosition == kNoNode) return 0;
  int32_t test = At(kRoot).larger;
  if (test == kNoNode) {  // not reached by the compressor, whose tree is never empty here
    At(kRoot).larger = newPosition;
    At(newPosition) = Node{kRoot, kNoNode, kNoNode};
    return 0;
  }
  const uint8_t* newString = window_.StringAt(newPosition);
  int32_t best = 0;
  for (;;) {
    int delta = 0;
    const int32_t equal = EqualLength(newString, window_.StringAt(test), delta);
    if (equal >= best) {
      best = equal;
      matchPosition = test;
      if (best >= kLzssLookAhead) {
        ReplaceMatchNode(test, newPosition);
        return best;
      }
    }
    int32_t& child = delta >= 0 ? At(test).larger : At(test).smaller;
    if (child == kNoNode) {
      child = newPosition;
      At(newPosition) = Node{test, kNoNode, kNoNode};
      return best;
    }
    test = child;
  }
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
    At(parent).larger = newNode;
  } else {
    At(parent).smaller = newNode;
  }
  At(oldNode).parent = kNoNode;
}

void MatchTree::ReplaceMatchNode(int32_t oldNode, int32_t newNode) {
  const int32_t parent = At(oldNode).parent;
  if (At(parent).smaller == oldNode) {
    At(parent).smaller = newNode;
  } else {
    At(parent).larger = newNode;
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
