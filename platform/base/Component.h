#pragma once
// Component ownership and free-notification.
//
// A component may own others: the owner frees what it owns when it is freed.
// Any component may ask to be told when another is freed (FreeNotification),
// so that it can drop its reference; the notice is a call to Notification
// with opRemove.  Components attached to one another (an editor and its
// gutter, say) also use Notification to pass further notices, with
// operation numbers of their own above opRemove.
//
// Free notices link two components both ways: whichever of them goes
// first tells the other.  Each side counts its own requests, and a
// removal takes back one request of the side that asks to remove it, so
// the pair stays linked while either side still has one: an action that
// stops watching the item that ran it does not take away the item's own
// watch on the action.

#include <cstddef>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class TFiler;

// Operations passed to TComponent::Notification.  The type is open: callers
// may pass operation numbers of their own (cast to TOperation).
enum TOperation : int { opInsert = 0, opRemove = 1 };

// Bits of TComponent::ComponentState.
enum : unsigned {
    csLoading = 0x01,
    csReading = 0x02,
    csWriting = 0x04,
    csDestroying = 0x08,
    csDesigning = 0x10,
};

// Base of objects with streamable properties.
class TPersistent {
public:
    virtual ~TPersistent() = default;
    // Copies the contents of source into this object; raises EConvertError
    // ("Cannot assign a X to a Y") when neither side knows how.
    virtual void Assign(const TPersistent* source);
    // Declares properties that are streamed by the object itself.
    virtual void DefineProperties(TFiler& filer) {}
    virtual std::string ClassName() const { return "TPersistent"; }

protected:
    virtual void AssignTo(TPersistent* destination) const;
};

class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* owner = nullptr);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    std::string ClassName() const override { return "TComponent"; }

    TComponent* Owner() const { return owner_; }
    const std::string& Name() const { return name_; }
    virtual void SetName(std::string name) { name_ = std::move(name); }
    int Tag = 0;

    int ComponentCount() const { return static_cast<int>(components_.size()); }
    // Raises EListError for an index outside 0..ComponentCount-1.
    TComponent* Components(int index) const;
    // Finds an owned component by name, ignoring ASCII case; nullptr if none.
    TComponent* FindComponent(std::string_view name) const;
    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);

    // subscriber->Notification(this, opRemove) is called when this component
    // is freed (and this->Notification(subscriber, opRemove) when the
    // subscriber goes first).  Each call is one request of the subscriber;
    // RemoveFreeNotification takes one back (none when it has none), and
    // the two stay linked until both have taken back every request they
    // made of each other.  A component that has sent its free notices
    // takes no new links: it could not tell them.
    void FreeNotification(TComponent* subscriber);
    void RemoveFreeNotification(TComponent* subscriber);
    // Whether the two are linked: one of them is told when the other goes.
    bool HasFreeNotification(const TComponent* other) const;

    unsigned ComponentState() const { return state_; }
    bool IsDestroying() const { return (state_ & csDestroying) != 0; }
    // Whether delete is freeing the component: from the moment it starts (a
    // form's OnDestroy runs before the component is marked destroying).
    bool BeingFreed() const { return freeing_; }
    bool IsLoading() const { return (state_ & csLoading) != 0; }
    void SetDesigning(bool designing);

    // Marks the component as being freed and tells every subscriber.  Derived
    // destructors that must run while the whole object still stands call it
    // first; the base destructor calls it in any case.
    void Destroying();

    // The step of freeing a component that runs before any of its
    // destructors, while the whole object still stands: a subscriber told
    // of the free may still look at it (a toolbar item at its image list),
    // and virtual calls reach the derived class.  The default sends the
    // free notices; a form fires OnDestroy first.  Runs once.
    virtual void BeforeDestruction() { Destroying(); }
    // `delete` of a component runs BeforeDestruction and then the
    // destructors; deleting one that is being freed already does nothing.  A component that is not freed by delete (a member, a
    // local) is told from its destructors, as far down as they call
    // Destroying, and from the base destructor in any case.
    static void operator delete(TComponent* component, std::destroying_delete_t);
    // The allocation that pairs with it, and the release of a component
    // whose constructor raised (which has nothing to tell or destroy).
    static void* operator new(std::size_t size);
    static void operator delete(void* block);

    // Called after the component's properties were read from a stream.
    virtual void Loaded() { state_ &= ~csLoading; }
    void BeginLoading() { state_ |= csLoading; }

    // The names of the handlers bound to published events by name (by a
    // form description or a stream), so that a writer streams the bindings
    // again; "" when an event was not bound by name.  An empty handler
    // name forgets the binding.
    std::string EventHandlerName(std::string_view event) const;
    void SetEventHandlerName(std::string_view event, std::string_view handler);

protected:
    virtual void Notification(TComponent* component, TOperation operation);
    // Lets a component hand a notice to another one.
    static void SendNotification(TComponent* target, TComponent* component, TOperation operation) {
        target->Notification(component, operation);
    }

private:
    // One component this one is linked with, and how many requests to be
    // told of its free this one made that it has not taken back.
    struct TFreeLink {
        TComponent* Other;
        int Requests;
    };
    TFreeLink* findFreeLink(const TComponent* other);
    TFreeLink& freeLinkTo(TComponent* other);
    void dropFreeLink(const TComponent* other);
    void notifyFreeSubscribers();

    TComponent* owner_ = nullptr;
    std::string name_;
    std::vector<TComponent*> components_;
    std::vector<TFreeLink> freeLinks_;
    std::vector<std::pair<std::string, std::string>> eventHandlers_; // event, handler
    unsigned state_ = 0;
    bool subscribersTold_ = false;
    // Set by delete before anything of the free runs (a form's OnDestroy
    // runs before the component is marked destroying).
    bool freeing_ = false;
};
