#include "shell/PTDialog.h"

#include "platform/base/Exceptions.h"

bool TPTDialog::Execute() {
    if (executing_)
        throw Exception(ClassName() + " already executing");
    executing_ = true;
    struct TDone {
        bool& Flag;
        ~TDone() { Flag = false; }
    } done{executing_};
    return DoExecute();
}

void TPTDialog::DoInitialized() {
    if (OnInitialized)
        OnInitialized(this);
}

void TPTDialog::ReadPlacement(TStream& stream) {
    int32_t width = stream.ReadLittleEndian<int32_t>();
    int32_t height = stream.ReadLittleEndian<int32_t>();
    uint8_t state = stream.ReadLittleEndian<uint8_t>();
    FormWidth = width;
    FormHeight = height;
    FormWindowState = state <= wsMaximized ? static_cast<TWindowState>(state) : wsNormal;
}

void TPTDialog::WritePlacement(TStream& stream) const {
    stream.WriteLittleEndian(static_cast<int32_t>(FormWidth));
    stream.WriteLittleEndian(static_cast<int32_t>(FormHeight));
    stream.WriteLittleEndian(static_cast<uint8_t>(FormWindowState));
}
