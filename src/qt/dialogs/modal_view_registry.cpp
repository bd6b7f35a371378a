#include "qt/dialogs/modal_view_registry.h"

#include <map>

namespace orva::qt {
namespace {

std::string Fold(const std::string& name) {
    std::string folded = name;
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return folded;
}

std::map<std::string, ModalViewRegistry::Factory>& Factories() {
    static std::map<std::string, ModalViewRegistry::Factory> factories;
    return factories;
}

}  // namespace

void ModalViewRegistry::Register(const std::string& windowName, Factory factory) {
    Factories()[Fold(windowName)] = std::move(factory);
}

void ModalViewRegistry::Unregister(const std::string& windowName) {
    Factories().erase(Fold(windowName));
}

ModalViewRegistry::Factory ModalViewRegistry::Find(const std::string& windowName) {
    auto it = Factories().find(Fold(windowName));
    return it == Factories().end() ? Factory() : it->second;
}

}  // namespace orva::qt
