#pragma once
// The node store of a syntax tree or a code tree: nodes are allocated from
// the tree, keep their addresses for the tree's life and are freed together
// with it, so no node is ever deleted recursively.

#include <cstddef>
#include <deque>
#include <new>

#include "engine/core/cException.h"

namespace velmora::script {

template <class TNode>
class cCodeTree {
public:
    // A new value-initialised node owned by the tree; raises "cCodeTree::AllocateNode : out of memory".
    TNode* AllocateNode() {
        try {
            m_Nodes.emplace_back();
        } catch (const std::bad_alloc&) {
            RaiseError("cCodeTree::AllocateNode : out of memory");
        }
        return &m_Nodes.back();
    }
    // Frees every node.
    void Clear() { m_Nodes.clear(); }
    std::size_t GetNodeCount() const { return m_Nodes.size(); }

private:
    std::deque<TNode> m_Nodes;
};

} // namespace velmora::script
