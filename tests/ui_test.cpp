// The dialogs driven as a user would, on Qt's offscreen platform.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <functional>

#include "platform/resources.h"
#include "platform/test_hooks.h"
#include "tests/fake_cpu.h"
#include "tests/test_support.h"
#include "ui/BiosPatch.h"
#include "ui/BiosPatchDlg.h"

namespace afx_test {
bool operator==(const MessageBoxRecord& a, const MessageBoxRecord& b) {
    return a.text == b.text && a.type == b.type && a.caption == b.caption;
}
std::ostream& operator<<(std::ostream& out, const MessageBoxRecord& r) {
    return out << '"' << r.text << "\" type " << r.type << " caption \"" << r.caption << '"';
}
}  // namespace afx_test

namespace {

using afx_test::MessageBoxRecord;
using quendel::test::Bytes;

template <typename T>
T* control(QWidget* window, const char* name) {
    T* widget = window->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

// Runs `body` once the dialog is on screen; whatever the body leaves open is
// cancelled afterwards. Returns DoModal's result.
int run_modal(CDialog& dialog, const std::function<void(QDialog*)>& body) {
    QTimer::singleShot(0, [&] {
        auto* window = qobject_cast<QDialog*>(dialog.GetSafeHwnd());
        ASSERT_NE(window, nullptr);
        body(window);
        if (dialog.GetSafeHwnd() != nullptr && window->isVisible()) dialog.EndDialog(IDCANCEL);
    });
    return dialog.DoModal();
}

// Chooses a system-menu entry the way a user does: Alt+Space, then the entry.
// `then` runs in the event loop right after the entry is chosen (inside any
// modal loop the entry opens).
void choose_from_system_menu(QWidget* focus, const QString& entry, const std::function<void()>& then = {}) {
    QTimer::singleShot(0, [entry, then] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (QAction* action : menu->actions()) {
            if (action->text() == entry) {
                menu->setActiveAction(action);
                if (then) QTimer::singleShot(0, then);
                QTest::keyClick(menu, Qt::Key_Return);
                return;
            }
        }
        menu->close();
        FAIL() << "no system-menu entry " << entry.toStdString();
    });
    QTest::keyClick(focus, Qt::Key_Space, Qt::AltModifier);
}

void select_divider(QWidget* window, int index) {
    auto* combo = control<QComboBox>(window, "IDC_DIVIDER");
    // Down-arrow moves the selection one entry, as in the list.
    for (int i = 0; i <= index; ++i) QTest::keyClick(combo, Qt::Key_Down);
}

class Dialog : public ::testing::Test {
protected:
    quendel::test::FakeCpu cpu = quendel::test::intel_cpu();

    void SetUp() override {
        quendel::cpu_set_ops(&cpu);
        afx_test::record_message_boxes(true);
    }

    void TearDown() override {
        quendel::cpu_set_ops(nullptr);
        afx_test::record_message_boxes(false);
        EXPECT_TRUE(afx_test::take_message_boxes().empty()) << "message boxes the test did not look at";
        EXPECT_EQ(afx_test::pending_file_dialog_answers(), 0u);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty()) << "a window was left behind";
    }

    static MessageBoxRecord box(const std::string& text, UINT type) {
        return {text, type, AfxGetApp()->m_pszAppName.str()};
    }
};

TEST_F(Dialog, PanelShowsTheProbeOnAmdAndPlaceholdersElsewhere) {
    struct Case {
        quendel::test::FakeCpu cpu;
        std::vector<std::string> texts;  // group box, speed, L1 code, L1 data, L2
    };
    const Case cases[] = {
        {quendel::test::FakeCpu(), {"AMD Athlon(tm) Processor", "1001 Mhz", "64 Kb", "64 Kb", "512 Kb"}},
        {quendel::test::intel_cpu(), {"Procesor not supported", "unknow Mhz", "unknow KB", "unknow KB", "unknow KB"}},
    };
    for (const Case& c : cases) {
        quendel::test::FakeCpu probe = c.cpu;
        quendel::cpu_set_ops(&probe);
        CBiosPatchDlg dlg;
        run_modal(dlg, [&](QDialog* window) {
            EXPECT_EQ(control<QGroupBox>(window, "IDC_PROCESSOR")->title().toStdString(), c.texts[0]);
            const char* names[] = {"IDC_SPEED", "IDC_L1_CODE", "IDC_L1_DATA", "IDC_L2_SIZE"};
            for (int i = 0; i < 4; ++i) {
                EXPECT_EQ(control<QLabel>(window, names[i])->text().toStdString(),
                          c.texts[static_cast<std::size_t>(i) + 1]);
            }
        });
    }
}

TEST_F(Dialog, OpensCentredWithFocusInTheInputFieldAndTabsInTemplateOrder) {
    CBiosPatchDlg dlg;
    run_modal(dlg, [&](QDialog* window) {
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        EXPECT_LE((window->frameGeometry().center() - screen.center()).manhattanLength(), 2);

        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        const char* order[] = {"IDC_INPUT_NAME",    "IDC_OUTPUT_NAME", "IDC_BROWSE_INPUT", "IDC_APPLY_PATCH",
                               "IDC_BROWSE_OUTPUT", "IDC_DIVIDER",     "IDC_INPUT_NAME"};
        for (const char* name : order) {
            QWidget* focus = QApplication::focusWidget();
            ASSERT_NE(focus, nullptr);
            // The combo box's field takes the focus on the combo box's behalf.
            QWidget* owner = qobject_cast<QComboBox*>(focus->parentWidget()) ? focus->parentWidget() : focus;
            EXPECT_EQ(owner->objectName().toStdString(), name);
            QTest::keyClick(focus, Qt::Key_Tab);
        }
    });
}

TEST_F(Dialog, EnterKeepsTheDialogOpenAndEscapeClosesIt) {
    CBiosPatchDlg dlg;
    const int result = run_modal(dlg, [&](QDialog* window) {
        for (const char* name : {"IDC_INPUT_NAME", "IDC_OUTPUT_NAME"}) {
            QTest::keyClick(control<QLineEdit>(window, name), Qt::Key_Return);
            EXPECT_TRUE(window->isVisible()) << name;
        }
        QTest::keyClick(control<QComboBox>(window, "IDC_DIVIDER")->lineEdit(), Qt::Key_Enter);
        EXPECT_TRUE(window->isVisible());
        QTest::keyClick(control<QLineEdit>(window, "IDC_INPUT_NAME"), Qt::Key_Escape);
        EXPECT_FALSE(window->isVisible());
    });
    EXPECT_EQ(result, IDCANCEL);
}

TEST_F(Dialog, BrowseFillsItsFieldAndRewritesBothFromTheMembers) {
    struct Case {
        const char* button;
        bool confirm;
        std::string input_after, output_after;
    };
    // Both fields hold typed text the members have not seen; only the chosen
    // path and the members' old values survive a Browse.
    const Case cases[] = {
        {"IDC_BROWSE_INPUT", true, "/images/original.bin", ""},
        {"IDC_BROWSE_INPUT", false, "", ""},
        {"IDC_BROWSE_OUTPUT", true, "", "/images/patched.bin"},
        {"IDC_BROWSE_OUTPUT", false, "", ""},
    };
    for (const Case& c : cases) {
        CBiosPatchDlg dlg;
        run_modal(dlg, [&](QDialog* window) {
            auto* input = control<QLineEdit>(window, "IDC_INPUT_NAME");
            auto* output = control<QLineEdit>(window, "IDC_OUTPUT_NAME");
            QTest::keyClicks(input, "typed in");
            QTest::keyClicks(output, "typed out");
            if (c.confirm) {
                afx_test::answer_next_file_dialog(c.input_after.empty() ? c.output_after : c.input_after);
            } else {
                afx_test::cancel_next_file_dialog();
            }
            QTest::mouseClick(control<QPushButton>(window, c.button), Qt::LeftButton);
            EXPECT_EQ(input->text().toStdString(), c.input_after) << c.button << c.confirm;
            EXPECT_EQ(output->text().toStdString(), c.output_after) << c.button << c.confirm;
        });
    }
}

TEST_F(Dialog, BrowseKeepsTheOtherMemberAndTreatsOverlongPathsAsCancel) {
    CBiosPatchDlg dlg;
    run_modal(dlg, [&](QDialog* window) {
        afx_test::answer_next_file_dialog("/images/in.bin");
        QTest::mouseClick(control<QPushButton>(window, "IDC_BROWSE_INPUT"), Qt::LeftButton);
        afx_test::answer_next_file_dialog("/images/" + std::string(260, 'x'));
        QTest::mouseClick(control<QPushButton>(window, "IDC_BROWSE_OUTPUT"), Qt::LeftButton);
        EXPECT_EQ(control<QLineEdit>(window, "IDC_INPUT_NAME")->text(), "/images/in.bin");
        EXPECT_EQ(control<QLineEdit>(window, "IDC_OUTPUT_NAME")->text(), "");
    });
}

TEST_F(Dialog, ApplyReportsEachCheckWithItsBoxType) {
    struct Case {
        std::string in, out;
        int divider;  // -1: none chosen
        MessageBoxRecord expected;
    };
    const Case cases[] = {
        {"", "", -1, box("Please, provide a input BIOS name", MB_OK)},
        {"a.bin", "", 0, box("Please, provide a output BIOS name", MB_OK)},
        {"a.bin", "a.bin", -1, box("Please, select a divider", MB_OK)},
        {"a.bin", "a.bin", 1, box("Input BIOS name must be different than Output BIOS name", MB_OK)},
        {"/no/such.bin", "/no/out.bin", 2, box("Can't open /no/such.bin!!!", MB_OK)},
        {"/proc/self/mem", "/tmp/quendel-ui-never.bin", 0,
         box("Can't read /proc/self/mem!!! Nothing was patched.", MB_ICONERROR)},
    };
    for (const Case& c : cases) {
        CBiosPatchDlg dlg;
        run_modal(dlg, [&](QDialog* window) {
            QTest::keyClicks(control<QLineEdit>(window, "IDC_INPUT_NAME"), QString::fromStdString(c.in));
            QTest::keyClicks(control<QLineEdit>(window, "IDC_OUTPUT_NAME"), QString::fromStdString(c.out));
            if (c.divider >= 0) select_divider(window, c.divider);
            QTest::mouseClick(control<QPushButton>(window, "IDC_APPLY_PATCH"), Qt::LeftButton);
            EXPECT_EQ(afx_test::take_message_boxes(), std::vector<MessageBoxRecord>{c.expected}) << c.in;
        });
    }
}

TEST_F(Dialog, TextTypedIntoTheDividerFieldIsNeverRead) {
    CBiosPatchDlg dlg;
    run_modal(dlg, [&](QDialog* window) {
        QTest::keyClicks(control<QLineEdit>(window, "IDC_INPUT_NAME"), "in.bin");
        QTest::keyClicks(control<QLineEdit>(window, "IDC_OUTPUT_NAME"), "out.bin");
        auto* field = control<QComboBox>(window, "IDC_DIVIDER")->lineEdit();
        QTest::keyClicks(field, "2/5");
        QTest::keyClick(field, Qt::Key_Return);
        QTest::mouseClick(control<QPushButton>(window, "IDC_APPLY_PATCH"), Qt::LeftButton);
        EXPECT_EQ(afx_test::take_message_boxes(),
                  std::vector<MessageBoxRecord>{box("Please, select a divider", MB_OK)});
        EXPECT_EQ(control<QComboBox>(window, "IDC_DIVIDER")->count(), 3);
    });
}

TEST_F(Dialog, AppliesARealPatchAndNamesStayForTheNextTry) {
    quendel::test::TempDir dir;
    const std::string in = dir.file("in.bin"), out = dir.file("out.bin");
    const Bytes prefix = quendel::test::filler(3000);
    quendel::test::write_file(in, quendel::test::concat({prefix, quendel::test::signature()}));
    CBiosPatchDlg dlg;
    run_modal(dlg, [&](QDialog* window) {
        afx_test::answer_next_file_dialog(in);
        QTest::mouseClick(control<QPushButton>(window, "IDC_BROWSE_INPUT"), Qt::LeftButton);
        afx_test::answer_next_file_dialog(out);
        QTest::mouseClick(control<QPushButton>(window, "IDC_BROWSE_OUTPUT"), Qt::LeftButton);
        select_divider(window, 1);
        QTest::keyClick(control<QPushButton>(window, "IDC_APPLY_PATCH"), Qt::Key_Space);
        EXPECT_EQ(afx_test::take_message_boxes(),
                  std::vector<MessageBoxRecord>{box("Patch applied", MB_ICONINFORMATION)});
        EXPECT_EQ(control<QLineEdit>(window, "IDC_INPUT_NAME")->text().toStdString(), in);
        EXPECT_EQ(control<QLineEdit>(window, "IDC_OUTPUT_NAME")->text().toStdString(), out);
    });
    EXPECT_EQ(quendel::test::read_file(out), quendel::test::concat({prefix, quendel::test::replacement_with(7, 9)}));
}

TEST_F(Dialog, SystemMenuEndsWithTheAboutEntry) {
    CBiosPatchDlg dlg;
    run_modal(dlg, [&](QDialog*) {
        CMenu* menu = dlg.GetSystemMenu(FALSE);
        ASSERT_NE(menu, nullptr);
        const int count = menu->GetMenuItemCount();
        ASSERT_GE(count, 4);
        EXPECT_EQ(menu->GetMenuItemID(0), SC_MOVE);
        EXPECT_EQ(menu->GetMenuItemID(1), SC_CLOSE);
        EXPECT_EQ(menu->GetMenuState(count - 2) & MF_SEPARATOR, MF_SEPARATOR);
        CString text;
        menu->GetMenuString(count - 1, text);
        EXPECT_EQ(text, "&About Quendel...");
        EXPECT_EQ(menu->GetMenuItemID(count - 1), IDM_ABOUTBOX);
    });
}

TEST_F(Dialog, AboutOpensModallyOverTheDialogAndLeavesTheFieldsAlone) {
    CBiosPatchDlg dlg;
    run_modal(dlg, [&](QDialog* window) {
        auto* input = control<QLineEdit>(window, "IDC_INPUT_NAME");
        QTest::keyClicks(input, "not yet applied");
        bool seen = false;
        choose_from_system_menu(input, "&About Quendel...", [&] {
            // Runs inside the About box's modal loop.
            QWidget* about = QApplication::activeModalWidget();
            ASSERT_NE(about, nullptr);
            seen = true;
            EXPECT_EQ(about->windowTitle(), "About Quendel");
            EXPECT_EQ(about->parentWidget(), window);
            EXPECT_LE((about->frameGeometry().center() - window->frameGeometry().center()).manhattanLength(), 2);
            bool has_version = false;
            for (QLabel* label : about->findChildren<QLabel*>()) has_version |= label->text() == "Quendel Version 1.1";
            EXPECT_TRUE(has_version);
            QTest::keyClick(about, Qt::Key_Return);  // the OK button is the default
            EXPECT_FALSE(about->isVisible());
        });
        EXPECT_TRUE(seen);
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(input->text(), "not yet applied");
        EXPECT_EQ(dlg.m_strInputName, "");
    });
}

TEST_F(Dialog, CloseFromTheSystemMenuOrTheCloseBoxEndsTheDialog) {
    for (bool close_box : {false, true}) {
        CBiosPatchDlg dlg;
        const int result = run_modal(dlg, [&](QDialog* window) {
            if (close_box) {
                window->close();
            } else {
                choose_from_system_menu(control<QLineEdit>(window, "IDC_INPUT_NAME"), "&Close\tAlt+F4");
            }
            EXPECT_FALSE(window->isVisible());
        });
        EXPECT_EQ(result, IDCANCEL) << close_box;
    }
}

TEST_F(Dialog, F1ReportsThatHelpCannotBeLaunched) {
    CBiosPatchDlg dlg;
    run_modal(dlg, [&](QDialog* window) {
        QTest::keyClick(control<QLineEdit>(window, "IDC_INPUT_NAME"), Qt::Key_F1);
        EXPECT_EQ(afx_test::take_message_boxes(), std::vector<MessageBoxRecord>{box("Failed to launch help.", MB_OK)});
    });
}

TEST_F(Dialog, IconIsSetAndReturnedForDragging) {
    CBiosPatchDlg dlg;
    run_modal(dlg, [&](QDialog* window) {
        const HICON icon = AfxGetApp()->LoadIcon(IDR_MAINFRAME);
        EXPECT_EQ(dlg.SendMessage(WM_QUERYDRAGICON), reinterpret_cast<LRESULT>(icon));
        const QList<QSize> sizes = window->windowIcon().availableSizes();
        EXPECT_TRUE(sizes.contains(QSize(32, 32)));
        EXPECT_TRUE(sizes.contains(QSize(16, 16)));
    });
}

// Statics wrap at their width; a text taller than its control is cut off.
void expect_no_clipped_text(QWidget* window) {
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (label->text().isEmpty()) continue;
        const QRect needed =
            label->fontMetrics().boundingRect(QRect(0, 0, label->width(), 1000), Qt::TextWordWrap, label->text());
        EXPECT_LE(needed.height(), label->height()) << label->text().toStdString();
        EXPECT_LE(needed.width(), label->width()) << label->text().toStdString();
    }
}

TEST_F(Dialog, EveryTextFitsItsControl) {
    quendel::test::FakeCpu amd;
    amd.brand = "AMD Athlon(tm) XP 2600+";
    quendel::cpu_set_ops(&amd);
    CBiosPatchDlg dlg;
    run_modal(dlg, [&](QDialog* window) {
        expect_no_clipped_text(window);
        auto* group = control<QGroupBox>(window, "IDC_PROCESSOR");
        EXPECT_LE(group->fontMetrics().horizontalAdvance(group->title()), group->width());
        choose_from_system_menu(control<QLineEdit>(window, "IDC_INPUT_NAME"), "&About Quendel...", [] {
            QWidget* about = QApplication::activeModalWidget();
            ASSERT_NE(about, nullptr);
            expect_no_clipped_text(about);
            QTest::keyClick(about, Qt::Key_Escape);
        });
    });
}

TEST(Resources, IconImagesAreSquareAndUseTheSixteenColourPalette) {
    const IconResource* icon = AfxFindIcon(IDR_MAINFRAME);
    ASSERT_NE(icon, nullptr);
    std::vector<int> sizes;
    for (const IconImage& image : icon->images) {
        sizes.push_back(image.size);
        ASSERT_EQ(image.rows.size(), static_cast<std::size_t>(image.size));
        for (const char* row : image.rows) {
            EXPECT_EQ(std::string(row).size(), static_cast<std::size_t>(image.size)) << row;
            EXPECT_EQ(std::string(row).find_first_not_of(".0123456789abcdef"), std::string::npos) << row;
        }
    }
    EXPECT_EQ(sizes, (std::vector<int>{32, 16}));
}

TEST(AppTitle, IsTheModuleNameWithoutFolderAndExtension) {
    const std::pair<const char*, const char*> cases[] = {
        {"/usr/bin/Quendel", "Quendel"}, {"C:\\Tools\\QUENDEL.EXE", "QUENDEL"}, {"A:Quendel.v1.exe", "Quendel.v1"},
        {"Quendel", "Quendel"},          {"/opt/q.d/Quendel", "Quendel"},
    };
    for (const auto& [path, title] : cases) EXPECT_EQ(AfxTitleFromModulePath(path), title) << path;
}

}  // namespace

int main(int argc, char** argv) {
    // Test discovery runs this binary outside ctest's environment.
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    CBiosPatchApp app;
    app.m_pszAppName = AfxTitleFromModulePath("/usr/bin/Quendel");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
