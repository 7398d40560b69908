// What every wizard dialog of tnsetup shares: how it is shown and ended, the result it leaves in
// nDialogResult, its caption, its colours, the exit confirmation and the refusal of commands from
// disabled buttons. Each dialog procedure passes its messages to WizardDialogProc with the dialog's traits.
#pragma once

#include "platform/win32.h"

#include <cstddef>

// Results a wizard dialog leaves in nDialogResult.
constexpr WORD kDialogExit = 0;     // leave Setup; also the window was closed or the dialog failed
constexpr WORD kDialogContinue = 1; // the choices were stored
constexpr WORD kDialogBack = 2;     // Back (options) or leaving Setup confirmed in a sub-dialog

// Which colour requests a dialog answers with the grey dialog brush.
enum class WizardColours {
    BackgroundAndTexts, // the dialog itself and its static texts
    AllControls         // also check boxes, radio buttons, group boxes, edit fields and list boxes
};

// What the shared handling needs to know about one dialog, and the dialog's own handlers.
struct WizardTraits {
    UINT idLatinCaption;   // string that replaces the template caption under fLatinTexts
    WizardColours colours; // which controls are painted grey
    // WM_INITDIALOG with the show routine's parameter; WM_COMMAND with the control and its notification.
    INT_PTR (*onInitDialog)(HWND dialog, LPARAM param) = nullptr;
    INT_PTR (*onCommand)(HWND dialog, int id, int code) = nullptr;
    int pictureFrame = 0;             // the frame control a picture is drawn into; 0: none
    const HBITMAP* picture = nullptr; // that picture
};

// Shows the dialog of TEMPLATE_NAME modally over the setup window, repaints the setup window and returns
// nDialogResult (0 when the dialog could not be shown or ended on a failure path).
WORD RunWizardDialog(LPCSTR templateName, DLGPROC proc, LPARAM param = 0);

// Handles what every wizard dialog does alike: the caption on opening, the colours, closing through the
// system menu or Alt+F4 (result 0, no confirmation), and the refusal of a command of a disabled button
// (Enter while the default button is disabled must not act, however the command arrives). True when MSG
// was handled; *RESULT is then what the dialog procedure returns.
BOOL HandleWizardMessage(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam, const WizardTraits& traits,
                         INT_PTR* result);

// The dialog procedure of a wizard dialog: the shared handling, the picture, then the dialog's handlers.
INT_PTR WizardDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam, const WizardTraits& traits);

// Ends the dialog with RESULT in nDialogResult.
void EndWizardDialog(HWND dialog, WORD result);

// Asks whether the user wants to leave Setup. True on OK; on Cancel the focus goes back to the dialog and
// nothing changes.
BOOL ConfirmExitSetup(HWND dialog);
// Ends the dialog with RESULT once the user confirmed leaving Setup; else the dialog stays as it was.
void EndWhenExitConfirmed(HWND dialog, WORD result);

// True when a WM_COMMAND is a click of a button the user cannot press now: such a command is ignored.
BOOL IsCommandFromDisabledButton(HWND dialog, WPARAM wParam);

// Sets the dialog's caption from string ID_LATIN_CAPTION when fLatinTexts is set; else keeps the template's.
void SetWizardCaption(HWND dialog, UINT idLatinCaption);

// Paints PICTURE at its natural size at the top-left corner of the frame control FRAME_ID; the answer to
// the dialog's WM_PAINT.
void PaintPictureInFrame(HWND dialog, int frameId, HBITMAP picture);

// Shows FLAG in the check box BOX: 0 clear, 1 ticked, 2 the third state of a three-state box.
void ShowFlag(HWND dialog, int box, BOOL flag);
// The state of the check box or radio button BOX as a flag: 0, 1, or 2 for the third state.
BOOL BoxState(HWND dialog, int box);

// Enables BUTTON_ID while the field FIELD_ID holds at least 2 characters, the shortest path ("C:").
void EnableWhilePathTyped(HWND dialog, int buttonId, int fieldId);

// Takes the whole text of the path field FIELD_ID into PATH of CAP bytes with a trailing backslash. A text
// that does not fit with its backslash is not cut into another path: message 29 names it, PATH is left
// empty, the focus goes back to the field, and the result is false.
BOOL TakePathField(HWND dialog, int fieldId, char* path, std::size_t cap);

// Define Directory, starting in START. True on OK: szDialogPath holds the chosen directory in upper case
// with a trailing backslash. False on Cancel: szDialogPath holds what it held before.
BOOL BrowseForDirectory(const char* start);

// The Welcome dialog: 1 Continue, 0 Exit.
WORD RunWelcomeDialog();
EXPORTED INT_PTR CALLBACK WelcomeDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

// The country and destination: 1 Continue, 0 Exit.
WORD RunSetupDirDialog();
EXPORTED INT_PTR CALLBACK SetupDirDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
// The country and destination taken from DEFAULT_COUNTRY without a dialog; false after its message.
BOOL SetDefaultCountryAndPath(const char* defaultCountry);
// Define Directory: browses from szDialogPath; on 1 (OK) szDialogPath holds the chosen directory in upper
// case; 0 Cancel. Used by the country dialog and by Insert disk.
WORD RunDriveDirDialog();
EXPORTED INT_PTR CALLBACK DriveDirDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
// The installation options: 1 Continue, 2 Back, 0 Exit.
WORD RunSetupOptionsDialog();
EXPORTED INT_PTR CALLBACK SetupOptionsDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
// Keyboard Layouts, from the options: 1 OK (table rebuilt), 0 Cancel, 2 leaving Setup confirmed.
WORD RunLangLayoutDialog();
EXPORTED INT_PTR CALLBACK LanguageLayoutProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
// Fonts, from the options: 1 OK (font choices stored), 0 Cancel, 2 leaving Setup confirmed.
WORD RunFontsDialog();
EXPORTED INT_PTR CALLBACK FontsDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
// Insert disk: asks for the disk labelled DISK_LABEL; on 1 (OK) szDialogPath holds the path with a trailing
// backslash; 0 when the user gave up.
WORD RunInsertDiskDialog(const char* diskLabel);
EXPORTED INT_PTR CALLBACK SourceDirDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
