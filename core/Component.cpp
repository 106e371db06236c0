#include "core/Component.h"

#include <algorithm>

namespace kestova {

TComponent::TComponent(TComponent* owner) : owner_(owner) {}

TComponent::~TComponent() {
    // Copy first: a notified component may unlink itself while we iterate.
    const std::vector<TComponent*> watchers = watchers_;
    for (TComponent* watcher : watchers) {
        watcher->Unlink(this);
        watcher->Notification(this, TOperation::opRemove);
    }
}

void TComponent::FreeNotification(TComponent* other) {
    if (other == nullptr || other == this) return;
    if (std::find(watchers_.begin(), watchers_.end(), other) == watchers_.end()) watchers_.push_back(other);
    if (std::find(other->watchers_.begin(), other->watchers_.end(), this) == other->watchers_.end())
        other->watchers_.push_back(this);
}

void TComponent::Unlink(TComponent* other) {
    watchers_.erase(std::remove(watchers_.begin(), watchers_.end(), other), watchers_.end());
}

void TComponent::Notification(TComponent*, TOperation) {}

}  // namespace kestova
