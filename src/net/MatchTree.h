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
  struct Node {
    int32_t parent = 0;
    int32_t smaller = 0;
    int32_t larger = 0;
  };
  static constexpr int32_t kNoNode = 0;
  static constexpr int32_t kRoot = kLzssWindowSize;

  // oldNode has at most one child, newNode (or none): it takes oldNode's place.
  void ContractMatchNode(int32_t oldNode, int32_t newNode);
  // newNode, not in the tree, takes oldNode's place with its children.
  void ReplaceMatchNode(int32_t oldNode, int32_t newNode);
  // The largest node below node's smaller child.
  int32_t FindPredecessorNode(int32_t node) const;
  // Links never run through "no node": node 0 keeps parent 0 and so is never
  // taken for a member of the tree.
  void SetParent(int32_t node, int32_t parent) {
    if (node != kNoNode) nodes_[static_cast<size_t>(node)].parent = parent;
  }
  Node& At(int32_t node) { return nodes_[static_cast<size_t>(node)]; }
  const Node& At(int32_t node) const { return nodes_[static_cast<size_t>(node)]; }

  const LzssWindow& window_;
  std::array<Node, kLzssWindowSize + 1> nodes_{};
};

}  // namespace quelvar
