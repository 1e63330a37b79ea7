// Asks for a search as a host would, answered by the automation API.
#include <gpsdialogs/GpsDialogs.h>
#include <platform/automation.h>

#include <cstdio>

int main() {
    automation::ScriptedUser user;
    user.onDialog([](automation::Dialog& d) {
        d.setText(2000, "PF1");
        d.click(1);
    });
    std::string text = "12";
    bool inName = false, inCode = false;
    bool ok = FDlgFindPunGps(text, inName, inCode);
    std::string again;
    FDatiFindPunGps(again, inName, inCode);
    std::printf("%s %s %s %d %d\n", ok ? "confirmed" : "cancelled", text.c_str(), again.c_str(),
                inName, inCode);
    return ok && text == "PF1" && again == "PF1" && inName && !inCode ? 0 : 1;
}
