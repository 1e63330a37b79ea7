#include "NumberField.h"

#include "gpsdialogs/interfaces/Kit.h"
#include "platform/wnd.h"

#include <cmath>

const char* const kInvalidValueTitle = "Valore non valido";

bool IsNumberText(const std::string& text, NumberForm form) {
    double value = 0;
    if (!DoubleDaStringValida(text, value)) return false;
    if (form == NumberForm::Number) return true;
    return std::fabs(value) < 60.0;
}

std::string ExpectedForm(NumberForm form) {
    switch (form) {
    case NumberForm::Minutes:
        return "minuti da 0 a 59";
    case NumberForm::Seconds:
        return "secondi da 0 a 59.99999";
    case NumberForm::Number:
        break;
    }
    return "un numero, ad esempio 1234.567";
}

bool CheckNumberField(CWnd& dialog, int id, NumberForm form, bool required) {
    auto* edit = dynamic_cast<CEdit*>(dialog.GetDlgItem(id));
    if (edit == nullptr) return !required;
    const std::string text = edit->GetWindowText();
    bool blank = text.find_first_not_of(" \t") == std::string::npos;
    if (blank || IsNumberText(text, form)) {
        edit->HideBalloonTip();
        return !blank || !required;
    }
    edit->ShowBalloonTip(kInvalidValueTitle, ExpectedForm(form), TTI_ERROR);
    return false;
}
