// The frame around every export: which resources are current, and when.
#include "gpsdialogs/GpsDialogs.h"
#include "platform/automation.h"
#include "platform/dialog.h"
#include "platform/model.h"
#include "platform/module.h"
#include "platform/resources.h"

#include "Module.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <stdexcept>

using automation::Dialog;
using automation::ScriptedUser;

namespace {

// A resource module of the host's own, current before each call.
struct HostResources {
    platform::ResourceModule module;
    HINSTANCE previous = AfxGetResourceHandle();
    HostResources() {
        module.name = "host";
        AfxSetResourceHandle(&module);
    }
    ~HostResources() { AfxSetResourceHandle(previous); }
};

} // namespace

TEST(ExportFrame, host_resources_are_current_again_after_a_normal_return) {
    HostResources host;
    ScriptedUser user;
    HINSTANCE during = nullptr;
    user.onDialog([&](Dialog& d) {
        during = AfxGetResourceHandle();
        d.click(IDCANCEL);
    });
    std::string text;
    bool inName = false, inCode = false;
    FDlgFindPunGps(text, inName, inCode);
    EXPECT_NE(during, nullptr);
    EXPECT_NE(during, &host.module);
    EXPECT_EQ(AfxGetResourceHandle(), &host.module);
}

TEST(ExportFrame, nothing_current_before_means_nothing_current_after) {
    AfxSetResourceHandle(nullptr);
    ScriptedUser user;
    user.onDialog([](Dialog& d) { d.click(IDCANCEL); });
    std::string text;
    bool inName = false, inCode = false;
    FDlgFindPunGps(text, inName, inCode);
    EXPECT_EQ(AfxGetResourceHandle(), nullptr);
}

TEST(ExportFrame, module_templates_are_not_visible_outside_an_export) {
    ScriptedUser user;
    CDialog search(IDD_FIND_PUN);
    EXPECT_EQ(search.DoModal(), -1);
    EXPECT_TRUE(user.dialogsSeen().empty());
}

TEST(ExportFrame, exception_from_inside_a_modal_run_restores_resources_and_destroys_the_dialog) {
    HostResources host;
    {
        ScriptedUser user;
        user.onDialog([](Dialog& d) {
            d.setText(IDC_FIND_TEXT, "boom");
            throw std::runtime_error("host callback failed");
        });
        std::string text = "before";
        bool inName = false, inCode = false;
        EXPECT_THROW(FDlgFindPunGps(text, inName, inCode), std::runtime_error);
        EXPECT_EQ(text, "before");
    }
    EXPECT_EQ(AfxGetResourceHandle(), &host.module);
    EXPECT_EQ(platform::focusWindow(), nullptr); // the dialog's windows are gone

    // The module still works afterwards, and the failed run remembered nothing.
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        EXPECT_EQ(d.text(IDC_FIND_TEXT), "again");
        d.click(IDOK);
    });
    std::string text = "again";
    bool inName = false, inCode = false;
    EXPECT_TRUE(FDlgFindPunGps(text, inName, inCode));
    EXPECT_EQ(AfxGetResourceHandle(), &host.module);
}

TEST(ExportFrame, nested_scopes_each_put_back_what_they_found) {
    platform::ResourceModule outer, inner;
    AfxSetResourceHandle(&outer);
    {
        CResourceScope first(&inner);
        EXPECT_EQ(AfxGetResourceHandle(), &inner);
        {
            CResourceScope second(&outer);
            EXPECT_EQ(AfxGetResourceHandle(), &outer);
        }
        EXPECT_EQ(AfxGetResourceHandle(), &inner);
    }
    EXPECT_EQ(AfxGetResourceHandle(), &outer);
    AfxSetResourceHandle(nullptr);
}

TEST(ExportFrame, null_module_handle_switches_nothing_and_puts_nothing_back) {
    platform::ResourceModule host, other;
    AfxSetResourceHandle(&host);
    {
        CResourceScope scope(nullptr);
        EXPECT_EQ(AfxGetResourceHandle(), &host);
        AfxSetResourceHandle(&other); // whatever happens inside is left alone
    }
    EXPECT_EQ(AfxGetResourceHandle(), &other);
    AfxSetResourceHandle(nullptr);
}

TEST(ExportFrame, a_modal_run_nobody_answers_is_cancelled_and_reported) {
    ScriptedUser user; // no handler at all
    std::string text = "x";
    bool inName = false, inCode = false;
    EXPECT_FALSE(FDlgFindPunGps(text, inName, inCode));
    EXPECT_EQ(user.unexpected(), 1);
    EXPECT_EQ(text, "x");
}

TEST(ExportFrame, a_handler_that_leaves_its_dialog_open_closes_it_unconfirmed) {
    ScriptedUser user;
    user.onDialog([](Dialog& d) { d.setText(IDC_FIND_TEXT, "left open"); });
    std::string text = "x";
    bool inName = false, inCode = false;
    EXPECT_FALSE(FDlgFindPunGps(text, inName, inCode));
    EXPECT_EQ(user.unexpected(), 1);
    EXPECT_EQ(text, "x");
}

TEST(LoadModuleString, gives_the_exact_text_of_the_table_and_empty_for_a_missing_id) {
    ASSERT_TRUE(IsModuleRegistered()) << ModuleLoadError();
    EXPECT_EQ(LoadModuleString(IDS_WARNING_CAPTION), "Attenzione !");
    EXPECT_EQ(LoadModuleString(IDS_GROUP_NO_PROJECTION),
              "Gruppo selezionato non valido in quanto non è stata calcolata una proiezione !");
    EXPECT_EQ(LoadModuleString(IDS_TRANSFER_COUNT), "Sono stati selezionati n. %d punti grafici");
    EXPECT_EQ(LoadModuleString(IDS_OR_NOT_MODIFIABLE),
              "Punto con Codice OR !!\n\nNon può essere modificato");
    EXPECT_EQ(LoadModuleString(IDS_ANGLE_FORMAT_0), "Sessagesimali   ( gg°pp'ss.ddddd\" )");
    EXPECT_EQ(LoadModuleString(IDS_QUANTITY), "Quantità :");
    EXPECT_EQ(LoadModuleString(15072), "");
    EXPECT_EQ(LoadModuleString(0), "");
}

TEST(LoadModuleString, uses_the_module_table_whatever_resources_are_current) {
    platform::ResourceModule host;
    host.strings[IDS_WARNING_CAPTION] = "host text";
    AfxSetResourceHandle(&host);
    EXPECT_EQ(LoadModuleString(IDS_WARNING_CAPTION), "Attenzione !");
    AfxSetResourceHandle(nullptr);
}

TEST(LoadStringA, cuts_long_strings_on_a_character_boundary) {
    platform::ResourceModule module;
    std::string text(1021, 'a');
    text += "àè"; // two-byte characters across the 1023-byte limit
    module.strings[1] = text;
    char buffer[1024];
    int length = LoadStringA(&module, 1, buffer, sizeof buffer);
    EXPECT_EQ(length, 1023);
    EXPECT_EQ(std::string(buffer), std::string(1021, 'a') + "à");

    module.strings[2] = std::string(1021, 'b') + "è";
    length = LoadStringA(&module, 2, buffer, 1023); // room for 1022 bytes: no half character
    EXPECT_EQ(std::string(buffer), std::string(1021, 'b'));
    EXPECT_EQ(length, 1021);
}
