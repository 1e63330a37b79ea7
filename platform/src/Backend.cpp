#include "platform/backend.h"
#include "platform/dialog.h"

namespace platform {

namespace {

/// No view at all: nobody can see a dialog, so without a scripted user every question gets
/// the answer of a dialog closed at once.
class HeadlessBackend final : public Backend {
public:
    std::string name() const override { return "headless"; }

    SIZE dialogBaseUnits(const FontSpec& font) override {
        // The classic base units of an 8-point sans serif dialog font, scaled for other sizes.
        int size = font.pointSize > 0 ? font.pointSize : 8;
        return SIZE{(6 * size + 4) / 8, (13 * size + 4) / 8};
    }

    void runModal(CDialog& dialog, const ModalScript& script) override {
        if (script)
            script(dialog);
        else
            dialog.EndDialog(IDCANCEL);
    }

    int messageBox(CWnd*, const std::string&, const std::string&, UINT type) override {
        return (type & MB_TYPEMASK) == MB_OK ? IDOK : IDCANCEL;
    }

    void beep(UINT) override {}
};

std::unique_ptr<Backend>& current() {
    static std::unique_ptr<Backend> backend = std::make_unique<HeadlessBackend>();
    return backend;
}

} // namespace

Backend& backend() {
    return *current();
}

void setBackend(std::unique_ptr<Backend> replacement) {
    current() = replacement ? std::move(replacement) : std::make_unique<HeadlessBackend>();
}

void useHeadlessBackend() {
    setBackend(nullptr);
}

} // namespace platform
