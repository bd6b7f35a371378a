#include "host/controls/tree.h"

#include "orvasaleprice/com_error.h"

namespace orva {
namespace {
[[noreturn]] void NoSuchNode(NodeId node) {
    throw ComError(ComError::kItemNotFound,
                   "Element not found: no tree node " + std::to_string(node));
}
}  // namespace

const Tree::Slot* Tree::SlotOf(NodeId node) const {
    if (node < firstId_)
        return nullptr;
    const auto i = static_cast<std::size_t>(node - firstId_);
    return i < slots_.size() && slots_[i].alive ? &slots_[i] : nullptr;
}

Tree::Slot& Tree::LiveSlot(NodeId node) {
    const Slot* s = SlotOf(node);
    if (!s)
        NoSuchNode(node);
    return const_cast<Slot&>(*s);
}

const Tree::Links& Tree::LinksOf(NodeId node) const {
    if (node == kNoNode)
        return top_;
    const Slot* s = SlotOf(node);
    if (!s)
        NoSuchNode(node);
    return s->links;
}

Tree::Links& Tree::LinksOf(NodeId node) {
    return node == kNoNode ? top_ : LiveSlot(node).links;
}

bool Tree::Exists(NodeId node) const {
    return SlotOf(node) != nullptr;
}

const TreeNode& Tree::Node(NodeId node) const {
    const Slot* s = SlotOf(node);
    if (!s)
        NoSuchNode(node);
    return s->node;
}

NodeId Tree::Find(std::string_view key) const {
    if (key.empty())
        return kNoNode;
    auto it = keys_.find(key);
    return it == keys_.end() ? kNoNode : it->second;
}

NodeId Tree::Add(std::string_view parentKey, std::string_view key, std::string_view text, int image,
                 int selectedImage) {
    NodeId parent = kNoNode;
    if (!parentKey.empty()) {
        parent = Find(parentKey);
        if (parent == kNoNode) {
            throw ComError(ComError::kItemNotFound, "Element not found: no tree node keyed \"" +
                                                        std::string(parentKey) + "\"");
        }
    }
    return AddUnder(parent, key, text, image, selectedImage);
}

NodeId Tree::AddUnder(NodeId parent, std::string_view key, std::string_view text, int image,
                      int selectedImage) {
    if (parent != kNoNode && !Exists(parent))
        NoSuchNode(parent);
    if (!key.empty() && keys_.find(key) != keys_.end()) {
        throw ComError(ComError::kDuplicateKey,
                       "Key is not unique in collection: \"" + std::string(key) + "\"");
    }
    const int index = LinksOf(parent).childCount;
    const NodeId id = firstId_ + static_cast<NodeId>(slots_.size());
    Emit(TreeChange::kAboutToAdd, id, parent, index);

    Slot slot;
    slot.alive = true;
    slot.node.key.assign(key);
    slot.node.text.assign(text);
    slot.node.image = image;
    slot.node.selectedImage = selectedImage;
    slot.node.parent = parent;
    slot.links.prev = LinksOf(parent).lastChild;
    slots_.push_back(std::move(slot));  // moves the slots: links are looked up after
    Links& siblings = LinksOf(parent);
    if (siblings.lastChild != kNoNode) {
        LiveSlot(siblings.lastChild).links.next = id;
    } else {
        siblings.firstChild = id;
    }
    siblings.lastChild = id;
    ++siblings.childCount;
    ++live_;
    if (!key.empty())
        keys_.emplace(std::string(key), id);

    Emit(TreeChange::kAdded, id, parent, index);
    return id;
}

void Tree::Remove(NodeId node) {
    Slot& slot = LiveSlot(node);
    const NodeId parent = slot.node.parent;
    const int index = IndexInParent(node);
    Emit(TreeChange::kAboutToRemove, node, parent, index);

    // Unlink from the siblings (the slot may have moved if a subscriber added
    // nodes, so it is looked up again).
    Links links = LiveSlot(node).links;
    Links& siblings = LinksOf(parent);
    if (links.prev != kNoNode) {
        LiveSlot(links.prev).links.next = links.next;
    } else {
        siblings.firstChild = links.next;
    }
    if (links.next != kNoNode) {
        LiveSlot(links.next).links.prev = links.prev;
    } else {
        siblings.lastChild = links.prev;
    }
    --siblings.childCount;

    bool selectionGone = false;
    std::vector<NodeId> pending{node};
    while (!pending.empty()) {
        const NodeId n = pending.back();
        pending.pop_back();
        Slot& s = LiveSlot(n);
        for (NodeId c = s.links.firstChild; c != kNoNode; c = LiveSlot(c).links.next) {
            pending.push_back(c);
        }
        if (!s.node.key.empty())
            keys_.erase(s.node.key);
        selectionGone = selectionGone || n == selected_;
        s = Slot{};  // frees the texts; the handle stays unused
        --live_;
    }
    if (selectionGone)
        selected_ = kNoNode;

    Emit(TreeChange::kRemoved, node, parent, index);
    if (selectionGone)
        Emit(TreeChange::kSelected, kNoNode);
}

void Tree::Clear() {
    Emit(TreeChange::kAboutToClear, kNoNode);
    firstId_ += static_cast<NodeId>(slots_.size());
    slots_.clear();
    top_ = Links{};
    keys_.clear();
    live_ = 0;
    selected_ = kNoNode;
    Emit(TreeChange::kCleared, kNoNode);
}

NodeId Tree::NodeAt(int index) const {
    if (index < 1 || index > live_)
        return kNoNode;
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        if (slots_[i].alive && --index == 0)
            return firstId_ + static_cast<NodeId>(i);
    }
    return kNoNode;
}

NodeId Tree::Next(NodeId node) const {
    return LinksOf(node).next;
}

NodeId Tree::Previous(NodeId node) const {
    return LinksOf(node).prev;
}

std::vector<NodeId> Tree::Children(NodeId node) const {
    std::vector<NodeId> out;
    const Links& links = LinksOf(node);
    out.reserve(links.childCount);
    for (NodeId c = links.firstChild; c != kNoNode; c = LinksOf(c).next) out.push_back(c);
    return out;
}

int Tree::IndexInParent(NodeId node) const {
    int index = 0;
    for (NodeId p = LinksOf(node).prev; p != kNoNode; p = LinksOf(p).prev) ++index;
    return index;
}

void Tree::SetText(NodeId node, std::string_view text) {
    LiveSlot(node).node.text.assign(text);
    Emit(TreeChange::kChanged, node);
}

void Tree::SetImage(NodeId node, int image) {
    LiveSlot(node).node.image = image;
    Emit(TreeChange::kChanged, node);
}

void Tree::SetSelectedImage(NodeId node, int image) {
    LiveSlot(node).node.selectedImage = image;
    Emit(TreeChange::kChanged, node);
}

void Tree::SetTag(NodeId node, std::string_view tag) {
    LiveSlot(node).node.tag.assign(tag);
    Emit(TreeChange::kChanged, node);
}

void Tree::Expand(NodeId node) {
    if (LiveSlot(node).node.expanded)
        return;
    LiveSlot(node).node.expanded = true;
    expand_.Emit(node);
    // A handler may have collapsed or removed the node again.
    if (Exists(node) && Node(node).expanded)
        Emit(TreeChange::kExpanded, node);
}

void Tree::Collapse(NodeId node) {
    if (!LiveSlot(node).node.expanded)
        return;
    LiveSlot(node).node.expanded = false;
    collapse_.Emit(node);
    if (Exists(node) && !Node(node).expanded)
        Emit(TreeChange::kCollapsed, node);
}

void Tree::Select(NodeId node) {
    if (node != kNoNode)
        LiveSlot(node);  // raises for a stale handle
    if (node == selected_)
        return;
    selected_ = node;
    Emit(TreeChange::kSelected, node);
}

void Tree::SetVisible(bool visible) {
    if (visible == visible_)
        return;
    visible_ = visible;
    Emit(TreeChange::kVisible, kNoNode);
}

void Tree::UserClick(NodeId node) {
    Select(node);
    nodeClick_.Emit(node);
}

}  // namespace orva
