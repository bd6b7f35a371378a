// The tree model: nodes with a key (unique when not empty; placeholders have
// none), text, image, selected image and tag, in parent/child order, an
// expanded flag per node and one selected node. Nodes are addressed by a
// NodeId handle (never reused while the tree lives) or found by key in
// constant time. Views subscribe to TreeChange notices; the window logic
// subscribes to the events (expand, collapse, node click, mouse down) that
// the view raises through the User* calls. Expanding or collapsing by code
// raises the same events as the user does, so a handler can fill a node's
// children when it is first expanded.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "host/controls/signal.h"

namespace orva {

using NodeId = int;
constexpr NodeId kNoNode = 0;

struct TreeNode {
    std::string key;
    std::string text;
    std::string tag;
    int image = 0;
    int selectedImage = 0;
    bool expanded = false;
    NodeId parent = kNoNode;
};

struct TreeChange {
    enum What {
        kAboutToAdd,     // `node` is not there yet: it will be child `index` of `parent`
        kAdded,          // `node` is child `index` of `parent`
        kAboutToRemove,  // `node` (child `index` of `parent`) and its subtree will go
        kRemoved,        // they are gone
        kChanged,        // text, images or tag of `node`
        kExpanded,
        kCollapsed,
        kSelected,  // `node` is the selected node (kNoNode: none)
        kAboutToClear,
        kCleared,
        kVisible,  // the tree was shown or hidden
    };
    What what;
    NodeId node = kNoNode;
    NodeId parent = kNoNode;
    int index = 0;  // 0-based among the parent's children
};

class Tree {
  public:
    // Adds a node as the last child of the node keyed `parentKey` (a root
    // when empty). Raises ComError kItemNotFound when no node has that key and
    // kDuplicateKey when `key` is not empty and already used; nothing is
    // added then.
    NodeId Add(std::string_view parentKey, std::string_view key, std::string_view text,
               int image = 0, int selectedImage = 0);
    // The same under a node given by handle (kNoNode: a root).
    NodeId AddUnder(NodeId parent, std::string_view key, std::string_view text, int image = 0,
                    int selectedImage = 0);
    // Removes a node and its subtree; the selection goes when it was among them.
    void Remove(NodeId node);
    void Clear();

    // kNoNode when no node has the key (or the key is empty).
    NodeId Find(std::string_view key) const;
    bool Exists(NodeId node) const;
    // Raises ComError kItemNotFound for a handle that names no node.
    const TreeNode& Node(NodeId node) const;
    int Count() const { return live_; }
    // The index-th node (1-based) in the order nodes were added; kNoNode when
    // there are fewer.
    NodeId NodeAt(int index) const;

    // Relations; kNoNode stands for the invisible top, whose children are the
    // roots.
    NodeId Parent(NodeId node) const { return Node(node).parent; }
    NodeId FirstChild(NodeId node) const { return LinksOf(node).firstChild; }
    NodeId LastChild(NodeId node) const { return LinksOf(node).lastChild; }
    int ChildCount(NodeId node) const { return LinksOf(node).childCount; }
    NodeId Next(NodeId node) const;      // next sibling
    NodeId Previous(NodeId node) const;  // previous sibling
    std::vector<NodeId> Children(NodeId node) const;
    int IndexInParent(NodeId node) const;

    void SetText(NodeId node, std::string_view text);
    void SetImage(NodeId node, int image);
    void SetSelectedImage(NodeId node, int image);
    void SetTag(NodeId node, std::string_view tag);

    bool Expanded(NodeId node) const { return Node(node).expanded; }
    // Expand raises the expand event when the node was collapsed (before the
    // view hears of it, so the handler's new children show at once);
    // Collapse likewise.
    void Expand(NodeId node);
    void Collapse(NodeId node);

    NodeId Selected() const { return selected_; }
    // By code: no click event. kNoNode clears the selection.
    void Select(NodeId node);

    bool Visible() const { return visible_; }
    void SetVisible(bool visible);

    [[nodiscard]] Subscription Subscribe(std::function<void(const TreeChange&)> fn) {
        return changes_.Subscribe(std::move(fn));
    }

    // Events for the window logic.
    [[nodiscard]] Subscription OnExpand(std::function<void(NodeId)> fn) {
        return expand_.Subscribe(std::move(fn));
    }
    [[nodiscard]] Subscription OnCollapse(std::function<void(NodeId)> fn) {
        return collapse_.Subscribe(std::move(fn));
    }
    [[nodiscard]] Subscription OnNodeClick(std::function<void(NodeId)> fn) {
        return nodeClick_.Subscribe(std::move(fn));
    }
    // Button (1 left, 2 right, 4 middle), shift state (1 Shift, 2 Ctrl,
    // 4 Alt) and position in twips.
    [[nodiscard]] Subscription OnMouseDown(
        std::function<void(int button, int shift, int x, int y)> fn) {
        return mouseDown_.Subscribe(std::move(fn));
    }

    // The view reports what the user did.
    void UserExpand(NodeId node) { Expand(node); }
    void UserCollapse(NodeId node) { Collapse(node); }
    // Selects the node, then raises the node click event.
    void UserClick(NodeId node);
    void UserMouseDown(int button, int shift, int x, int y) {
        mouseDown_.Emit(button, shift, x, y);
    }

  private:
    struct Links {
        NodeId firstChild = kNoNode;
        NodeId lastChild = kNoNode;
        NodeId prev = kNoNode;
        NodeId next = kNoNode;
        int childCount = 0;
    };
    struct Slot {
        TreeNode node;
        Links links;
        bool alive = false;
    };
    struct KeyHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const {
            return std::hash<std::string_view>{}(s);
        }
    };

    const Slot* SlotOf(NodeId node) const;
    Slot& LiveSlot(NodeId node);
    const Links& LinksOf(NodeId node) const;
    Links& LinksOf(NodeId node);
    void Emit(TreeChange::What what, NodeId node, NodeId parent = kNoNode, int index = 0) {
        changes_.Emit(TreeChange{what, node, parent, index});
    }

    std::vector<Slot> slots_;
    NodeId firstId_ = 1;  // handle of slots_[0]; moves on at Clear
    Links top_;           // the roots
    int live_ = 0;
    std::unordered_map<std::string, NodeId, KeyHash, std::equal_to<>> keys_;
    NodeId selected_ = kNoNode;
    bool visible_ = true;

    Signal<const TreeChange&> changes_;
    Signal<NodeId> expand_;
    Signal<NodeId> collapse_;
    Signal<NodeId> nodeClick_;
    Signal<int, int, int, int> mouseDown_;
};

}  // namespace orva
