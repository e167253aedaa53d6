#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "net/LzssWindow.h"

namespace quelvar {

// The compressor's index of window positions: a binary tree ordered by the
// kLzssLookAhead-byte strings that start at them (unsigned bytes, compared in
// window order), so that a new string meets its nearest neighbours, and with
// them its longest match, on the way down. Node n stands for position n;
// position 0 is never in the tree (0 means "no node"), and index
// kLzssWindowSize is the root, whose larger child is the top of the tree.
//
// The window may change only at positions whose strings are not in the tree.
//
// The tree's shape decides which of two equally long matches is taken, and
// so the compressor's bytes; it is kept exactly as a descent from the root
// would build it. What is faster is finding a new string's place: the
// string at p + 1 is the one at p shifted by a byte, so the neighbours that
// p found, moved on by one, are usually next to the place of p + 1 (when
// the window changed in between only where the compressor writes, at
// p + kLzssLookAhead). A search starts from there and climbs only as far as
// it must; anything else falls back to the descent from the root.
class MatchTree {
 public:
  explicit MatchTree(const LzssWindow& window) : window_(window) {}
  MatchTree(const MatchTree&) = delete;
  MatchTree& operator=(const MatchTree&) = delete;

  // Empties the tree and makes rootPosition (not 0) its only node.
  void InitMatchTree(int32_t rootPosition);

  // Inserts newPosition and returns the length of its longest match among the
  // positions in the tree (0 to kLzssLookAhead), setting matchPosition to the
  // node that gave it; of equally long matches the last one met on the way
  // down wins. A full-length match takes that node's place in the tree (the
  // older position leaves it). Position 0 is not inserted: 0 is returned and
  // matchPosition left as it was.
  int32_t AddMatchString(int32_t newPosition, int32_t& matchPosition);

  // Takes position out of the tree; a position not in it is left alone.
  void DeleteMatchString(int32_t position);

 private:
  // Sixteen bits a link, so that the nodes and the window stay in the
  // first-level cache together.
  using Link = uint16_t;
  struct Node {
    Link parent = 0;
    Link smaller = 0;
    Link larger = 0;
  };
  static Node Leaf(int32_t parent) { return Node{static_cast<Link>(parent), 0, 0}; }
  static constexpr int32_t kNoNode = 0;
  static constexpr int32_t kRoot = kLzssWindowSize;

  // What the last insertion found out: a full-length match (`lower` is the
  // node it took the place of), or the nearest nodes below and above the new
  // string on its way down with their equal lengths (0: none that side).
  struct Neighbours {
    enum Kind : uint8_t { kNone, kFull, kBetween };
    Kind kind = kNone;
    int32_t position = 0;  // the string they belong to
    int32_t lower = 0;
    int32_t upper = 0;
    int32_t lowerLength = 0;
    int32_t upperLength = 0;
  };

  // The descent from the root; remembers the neighbours.
  int32_t AddFromRoot(int32_t newPosition, int32_t& matchPosition);
  // The same answer from the previous string's neighbours, or false when
  // they do not give it cheaply.
  bool AddNextToNeighbours(int32_t newPosition, int32_t& matchPosition, int32_t& length);
  // Descends from `start`'s larger child (the new string is above start;
  // the root's top is its larger child) and hangs the new node where the
  // descent ends. lower/upper: the nearest nodes of the path so far below
  // and above the new string, with their equal lengths (kNoNode and 0: none).
  int32_t DescendFrom(int32_t start, int32_t newPosition, int32_t lower, int32_t lowerLength, int32_t upper,
                      int32_t upperLength, int32_t& matchPosition);
  // newPosition's string equals test's: it takes test's place.
  int32_t TakeFullMatch(int32_t test, int32_t newPosition, int32_t& matchPosition);
  bool InTree(int32_t node) const { return node != kNoNode && At(node).parent != kNoNode; }

  // oldNode has at most one child, newNode (or none): it takes oldNode's place.
  void ContractMatchNode(int32_t oldNode, int32_t newNode);
  // newNode, not in the tree, takes oldNode's place with its children.
  void ReplaceMatchNode(int32_t oldNode, int32_t newNode);
  // The largest node below node's smaller child.
  int32_t FindPredecessorNode(int32_t node) const;
  // Links never run through "no node": node 0 keeps parent 0 and so is never
  // taken for a member of the tree.
  void SetParent(int32_t node, int32_t parent) {
    if (node != kNoNode) nodes_[static_cast<size_t>(node)].parent = static_cast<Link>(parent);
  }
  Node& At(int32_t node) { return nodes_[static_cast<size_t>(node)]; }
  const Node& At(int32_t node) const { return nodes_[static_cast<size_t>(node)]; }

  const LzssWindow& window_;
  std::array<Node, kLzssWindowSize + 1> nodes_{};
  Neighbours last_;
};

}  // namespace quelvar
