// Fuzz entry point for component streams (how forms are saved and built
// again) and shortcut text.  The first byte chooses:
//
// - A stream as it comes: read into a form over every standard control
//   class.  Reading ends in a form or in the platform's own exception;
//   after an exception the form owns nothing it did not own before; a form
//   that was read writes a stream that reads back to the same form.
// - A form made at random from a seed in the input, written, then changed
//   at the offsets the input gives before it is read: unchanged, it must
//   come back with every published value as it was; changed, as above.
// - Shortcut text: whatever reads as a shortcut is written as text that
//   reads back as the same shortcut, and every shortcut's text does.

#include "fuzz/FuzzApplication.h"
#include "fuzz/FuzzInput.h"
#include "platform/base/ComponentStream.h"
#include "platform/base/Exceptions.h"
#include "platform/base/Stream.h"
#include "platform/ui/Control.h"
#include "platform/ui/FormBuilder.h"
#include "platform/ui/Keys.h"
#include "platform/ui/StandardControls.h"
#include "tests/platform/ui/PublishedTestSupport.h"

#include <QGuiApplication>

#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

// The root forms are read into: a window control with one handler of each
// common event shape, so that streams can bind events.
class TFuzzForm : public TWinControl {
public:
    explicit TFuzzForm(TComponent* owner = nullptr) : TWinControl(owner) {
        Handlers.Add("Click", this, &TFuzzForm::HandleClick);
        Handlers.Add("MouseDown", this, &TFuzzForm::HandleMouseDown);
        Handlers.Add("KeyDown", this, &TFuzzForm::HandleKeyDown);
        Handlers.Add("KeyPress", this, &TFuzzForm::HandleKeyPress);
    }
    std::string ClassName() const override { return "TFuzzForm"; }

    THandlerTable Handlers;

    void HandleClick(TPersistent*) {}
    void HandleMouseDown(TPersistent*, TMouseButton, TShiftState, int, int) {}
    void HandleKeyDown(TPersistent*, uint16_t&, TShiftState) {}
    void HandleKeyPress(TPersistent*, char&) {}
};

void Start() {
    if (!StartOffscreenApplication<QGuiApplication>())
        return;
    RegisterStandardControlClasses();
}

using TSnapshot = std::map<std::string, std::map<std::string, std::string>>;

TSnapshot Snapshot(TFuzzForm& form) {
    TSnapshot snapshot = SnapshotOwned<TControl>(form);
    SnapshotPublished(form, "", snapshot["(root)"]);
    return snapshot;
}

std::string Written(TFuzzForm& form) {
    TMemoryStream stream;
    WriteComponent(stream, form);
    return std::string(reinterpret_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size()));
}

// Reads bytes into a fresh form; false when the stream was refused.
bool Read(const std::string& bytes, TFuzzForm& form) {
    TReadOnlyMemoryStream stream(bytes.data(), static_cast<int64_t>(bytes.size()));
    try {
        ReadComponent(stream, form, &form.Handlers);
        return true;
    } catch (const Exception&) {
        // The components made so far are freed again.
        FuzzCheck(form.ComponentCount() == 0);
        return false;
    }
}

// A form that was read writes a stream that reads back to the same form,
// and writes the same stream again.
void CheckReadsBack(TFuzzForm& form) {
    const std::string written = Written(form);
    TFuzzForm again;
    FuzzCheck(Read(written, again));
    FuzzCheck(Snapshot(again) == Snapshot(form));
    FuzzCheck(Written(again) == written);
}

void FuzzStream(TFuzzInput& input) {
    TFuzzForm form;
    if (Read(input.Rest(), form))
        CheckReadsBack(form);
}

// A random form of up to eight controls of the registered classes.
TFormDescription RandomForm(std::mt19937& random, const THandlerTable& handlers) {
    std::vector<std::string> classes;
    std::vector<bool> holds;
    for (const TClassInfo* info : RegisteredClasses()) {
        if (!info->Creatable())
            continue;
        std::unique_ptr<TComponent> sample(info->Create(nullptr));
        if (dynamic_cast<TControl*>(sample.get()) == nullptr)
            continue;
        classes.push_back(info->Name());
        holds.push_back(dynamic_cast<TWinControl*>(sample.get()) != nullptr);
    }
    TFormDescription description;
    description.Properties = {{"Caption", "Fuzzed form"}, {"Tag", static_cast<int>(random() % 100)}};
    std::vector<std::string> containers;
    const int count = 1 + static_cast<int>(random() % 8);
    for (int i = 0; i < count; ++i) {
        const size_t kind = random() % classes.size();
        TComponentDescription component;
        // Appended, not concatenated: GCC 12 warns falsely (-Wrestrict)
        // about the inlined concatenation.
        component.Name = "c";
        component.Name += std::to_string(i);
        component.ClassName = classes[kind];
        if (!containers.empty() && random() % 2)
            component.Parent = containers[random() % containers.size()];
        component.Bounds = Bounds(static_cast<int>(random() % 300), static_cast<int>(random() % 200),
                                  1 + static_cast<int>(random() % 120), 1 + static_cast<int>(random() % 60));
        std::unique_ptr<TComponent> scratch(CreateComponent(classes[kind], nullptr));
        RandomSettings(*scratch, "", random, handlers, {"Click", "MouseDown", "KeyDown", "KeyPress"},
                       {"Left", "Top", "Width", "Height", "Align"}, component.Properties, component.Events);
        if (holds[kind])
            containers.push_back(component.Name);
        description.Components.push_back(std::move(component));
    }
    return description;
}

void FuzzMadeForm(TFuzzInput& input) {
    uint32_t seed = 0;
    for (int i = 0; i < 4; ++i)
        seed = seed << 8 | input.Byte();
    std::mt19937 random(seed);
    TFuzzForm made;
    made.SetName("form");
    BuildForm(made, RandomForm(random, made.Handlers), made.Handlers);
    std::string bytes = Written(made);
    bool changed = false;
    for (int edits = input.Byte() % 8; edits > 0 && !bytes.empty(); --edits) {
        const size_t at = (size_t(input.Byte()) << 8 | input.Byte()) % bytes.size();
        const uint8_t value = input.Byte();
        changed = changed || static_cast<uint8_t>(bytes[at]) != value;
        bytes[at] = static_cast<char>(value);
    }
    TFuzzForm form;
    const bool read = Read(bytes, form);
    FuzzCheck(read || changed);
    if (!changed)
        FuzzCheck(Snapshot(form) == Snapshot(made));
    if (read)
        CheckReadsBack(form);
}

void FuzzShortCutText(TFuzzInput& input) {
    const std::string text = input.Rest();
    const TShortCut shortCut = TextToShortCut(text);
    if (shortCut != scNone) {
        const std::string written = ShortCutToText(shortCut);
        FuzzCheck(!written.empty());
        FuzzCheck(TextToShortCut(written) == shortCut);
    }
    // The first two bytes as a shortcut word: its text names a key from
    // 8 on (the keypad digits as the digits), and reads back to a
    // shortcut of the same text.
    if (text.size() >= 2) {
        const auto word = static_cast<TShortCut>(static_cast<uint8_t>(text[0]) << 8 | static_cast<uint8_t>(text[1]));
        const std::string written = ShortCutToText(word);
        FuzzCheck(written.empty() == ((word & 0xFF) == 0));
        const TShortCut again = TextToShortCut(written);
        FuzzCheck((again != scNone) == ((word & 0xFF) >= 8));
        FuzzCheck(again == scNone || ShortCutToText(again) == written);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Start();
    TFuzzInput input(data, size);
    RunChosenEntry(input, {FuzzStream, FuzzMadeForm, FuzzShortCutText});
    return 0;
}
