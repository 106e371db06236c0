#pragma once
// The component base every published part derives from: a name, an owner, and removal
// notifications, so a stage that references another hears when that one goes away.
#include <string>
#include <vector>

namespace kestova {

enum class TOperation { opInsert, opRemove };

class TComponent {
public:
    explicit TComponent(TComponent* owner = nullptr);
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return owner_; }
    const std::string& Name() const { return name_; }
    void SetName(const std::string& name) { name_ = name; }

    // Asks to be told (through Notification) when `other` is destroyed.
    void FreeNotification(TComponent* other);

protected:
    virtual void Notification(TComponent* component, TOperation operation);

private:
    void Unlink(TComponent* other);

    TComponent* owner_;
    std::string name_;
    std::vector<TComponent*> watchers_;  // told when this one is destroyed, and vice versa
};

}  // namespace kestova
