#include "platform/ui/FormBuilder.h"

#include "platform/base/Component.h"
#include "platform/ui/Control.h"

#include <vector>

namespace {

class TFormBuild {
public:
    TFormBuild(TWinControl& form, const THandlerTable& handlers) : form_(form), context_{&form, &handlers} {}

    void Run(const TFormDescription& description) {
        try {
            form_.BeginLoading();
            for (const TComponentDescription& component : description.Components)
                made_.push_back(make(component));
            for (size_t i = 0; i < made_.size(); ++i)
                place(*made_[i], description.Components[i]);
            configure(form_, description.Properties, description.Events, std::nullopt);
            for (size_t i = 0; i < made_.size(); ++i) {
                const TComponentDescription& component = description.Components[i];
                configure(*made_[i], component.Properties, component.Events, component.Bounds);
            }
        } catch (const Exception&) {
            for (auto it = made_.rbegin(); it != made_.rend(); ++it)
                delete *it;
            form_.Loaded();
            throw;
        }
        for (TComponent* component : made_)
            component->Loaded();
        form_.Loaded();
    }

private:
    TComponent* make(const TComponentDescription& description) {
        if (!description.Name.empty() && named(description.Name) != nullptr)
            throw EComponentError("A component named " + description.Name + " already exists");
        TComponent* component = nullptr;
        try {
            component = CreateComponent(description.ClassName, &form_);
        } catch (const EClassNotFound&) {
            throw EClassNotFound(description.ClassName + " (component " + description.Name + ")");
        }
        component->SetName(description.Name);
        component->BeginLoading();
        return component;
    }

    // A control goes into its parent: the form, or a window control of
    // the description.
    void place(TComponent& component, const TComponentDescription& description) {
        auto* control = dynamic_cast<TControl*>(&component);
        if (control == nullptr) {
            if (description.Parent.empty())
                return;
            // A class that nests in streams (menu items in their parent
            // items) nests the same way in a description.
            TComponent* named = this->named(description.Parent);
            const TClassInfo* info = ClassInfoOf(component);
            if (named != nullptr && named != &component && info != nullptr) {
                info->SetParentOf(component, named);
                if (info->ParentOf(component) == named)
                    return;
            }
            throw EComponentError(description.Name + " is no control and can not have a parent");
        }
        TWinControl* parent = &form_;
        if (!description.Parent.empty()) {
            TComponent* named = this->named(description.Parent);
            if (named == nullptr || named == control)
                throw EComponentError("Parent " + description.Parent + " of " + description.Name + " not found");
            parent = dynamic_cast<TWinControl*>(named);
            if (parent == nullptr)
                throw EComponentError(description.Parent + " can not hold controls such as " + description.Name);
        }
        control->SetParent(parent);
    }

    void configure(TComponent& component, const std::vector<TPropertySetting>& properties,
                   const std::vector<TEventBinding>& events, const std::optional<TRect>& bounds) {
        try {
            if (bounds) {
                auto* control = dynamic_cast<TControl*>(&component);
                if (control == nullptr)
                    throw EComponentError("a component that is no control has no bounds");
                control->SetBounds(bounds->Left, bounds->Top, bounds->Width(), bounds->Height());
            }
            for (const TPropertySetting& setting : properties)
                SetPublishedValue(component, setting.Name, setting.Value, context_);
            for (const TEventBinding& binding : events) {
                TPersistent* target = nullptr;
                const TPropertyInfo* property = FindPublishedProperty(component, binding.Event, target);
                if (property == nullptr || property->Kind() != TPropertyKind::Event)
                    throw EPropertyError("Event " + binding.Event + " does not exist");
                property->SetValue(*target, TPropertyValue(binding.Handler), context_);
            }
        } catch (const EPropertyError& error) {
            throw EPropertyError(nameOf(component) + ": " + error.Message());
        } catch (const EComponentError& error) {
            throw EComponentError(nameOf(component) + ": " + error.Message());
        }
    }

    TComponent* named(const std::string& name) const { return form_.FindComponent(name); }

    std::string nameOf(TComponent& component) const {
        return &component == &form_ ? "form " + form_.Name() : component.Name();
    }

    TWinControl& form_;
    TBindingContext context_;
    std::vector<TComponent*> made_;
};

} // namespace

void BuildForm(TWinControl& form, const TFormDescription& description, const THandlerTable& handlers) {
    TFormBuild(form, handlers).Run(description);
}
