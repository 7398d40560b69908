// Resource ids of tnsetup: string table entries, dialog templates and their controls, bitmaps and icons.
// Shared by tnsetup.rc and the program's code, so it holds nothing but #defines.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// ---- Strings: captions and names shown to the user ------------------------------------------------------
#define IDS_GROUP_NAME 10          // "TARNO": the Program Manager group
#define IDS_CAPTION 11             // "TARNO Setup": messages and child windows
#define IDS_CAPTION_LATIN 12       // the same caption, used when the system font cannot show the usual one
#define IDS_CAPTION_DRIVEDIR 160   // "Define Directory"
#define IDS_CAPTION_WELCOME 161    // "Welcome"
#define IDS_CAPTION_FONTS 162      // "Fonts"
#define IDS_CAPTION_LANGLAYOUT 163 // "Keyboard Layouts"
#define IDS_CAPTION_OPTIONS 165    // "Installation Options"
#define IDS_DIALOG_FONT 141        // "Solvane Sans Serif": face of the program's own font
#define IDS_DIALOG_FONT_FILE 142   // "svserife.fnt": that font's file in the system directory
#define IDS_NOT_FOUND 22           // "Not found": the country list when the section is missing

// ---- Strings: messages --------------------------------------------------------------------------------
#define IDS_CANT_READ_FILE 13          // "Can't read the file '%s'"
#define IDS_NO_MEMORY 18               // "No Avalable Memory! '%s'"
#define IDS_NO_LOCK 19                 // "No Lock Handle! '%s'"
#define IDS_CONFIRM_EXIT 23            // "Do you want to exit from TARNO Setup?"
#define IDS_NO_LAYOUT_FOR_NATION 26    // "Error in file setup1.inf. Not layout for this nation '%s'"
#define IDS_CANT_ADD_ITEM 27           // "Cannot Add Item '%s' in ComboBox"
#define IDS_DRIVE_NOT_VALID 28         // "Drive not valid: '%s'"
#define IDS_DIR_NOT_VALID 29           // "Directory path not valid: '%s'"
#define IDS_CANT_WRITE_ENTRY 30        // "Can't write '%s' =  '%s' in section '%s'"
#define IDS_INF_NOT_FOUND 38           // "Setup information file '%s' not found."
#define IDS_UNINSTALL_WARNING 39       // uninstall needs program files, layouts and fonts; continue?
#define IDS_CANT_CREATE_LOG 46         // "Can not create .LOG file %s."
#define IDS_CANT_READ_NATION 47        // "Can't read section [nation] in file '%s'"
#define IDS_NO_LIST_FIELD 48           // "Can't search member number %d in '%s'"
#define IDS_CANT_READ_SECTION 49       // "Can't read all section '%s'"
#define IDS_CANT_READ_STRING 50        // "Can't read string '%s' from section '%s'"
#define IDS_NO_WINDOWS_DIR 53          // "Can't Find Windows Directory"
#define IDS_NO_SYSTEM_DIR 54           // "Can't Find System Directory"
#define IDS_ALREADY_INSTALLED 63       // "TARNO already installed. Replace old files and TARNO information?"
#define IDS_SWITCHES_HELP 69           // "Possible command line switches: %s"
#define IDS_SETUP_CANCELLED 72         // "Setup cancelled. TARNO may not properly installed now. ..."
#define IDS_NO_DOT_MATRIX_PRINTERS 117 // no supported dot-matrix printer found; copy their fonts anyway?
#define IDS_SAME_DIRECTORIES 145       // "Destination and source directories are the same."
#define IDS_CANT_COPY_TO_DEST 154      // destination cannot be created (Yes, Yes to All, No)
#define IDS_BAD_COMPRESSION 156        // source has a bad compressed format (read error)
#define IDS_CANT_WRITE_DEST 157        // destination cannot be written (disk full)
#define IDS_COPY_GENERAL_ERROR 158     // any other copy error
#define IDS_CANT_COPY_SOURCE 159       // source cannot be opened
#define IDS_CANT_BACKUP 342            // "Can't copy '%s' to '%s'. ...": control.old cannot be made

// ---- Strings: the message dialog's buttons ------------------------------------------------------------
#define IDS_BUTTON_OK 118
#define IDS_BUTTON_CANCEL 119
#define IDS_BUTTON_YES 124
#define IDS_BUTTON_NO 126
#define IDS_BUTTON_ABORT 127
#define IDS_BUTTON_RETRY 128
#define IDS_BUTTON_IGNORE 129
#define IDS_BUTTON_YES_TO_ALL 155

// ---- Strings: progress and advertising windows --------------------------------------------------------
#define IDS_FILE_COPYING 58  // "File copying : "
#define IDS_UPDATE_SYSTEM 71 // "Update system information..."
#define IDS_TO_FILE 146      // "To file:"
#define IDS_ADVERT_FIRST 271 // five texts, 271 to 275, lines separated by '!'
#define IDS_ADVERT_COUNT 5

// ---- Strings: the disk-space report (pieces joined into one text) -------------------------------------
#define IDS_SPACE_TITLE 280       // "Insufficient disk space:\r\n\r\n"
#define IDS_SPACE_DESTDIR 282     // "Destination directory: %s\r\n"
#define IDS_SPACE_WINDOWS 284     // Windows drive line: letter, free KB, need KB
#define IDS_SPACE_DESTINATION 286 // destination drive line: letter, free KB, need KB
#define IDS_SPACE_HINT 288        // "Switch to file manager application, free some disk space\r\n"
#define IDS_SPACE_HINT_RETRY 290  // "and then press Retry button."

// ---- Strings: file names ------------------------------------------------------------------------------
#define IDS_FILE_SETUP1_INF 41  // "setup1.inf"
#define IDS_FILE_UNINST_INF 42  // "uninst.inf"
#define IDS_FILE_WIN_INI 43     // "win.ini"
#define IDS_FILE_SYSTEM_INI 44  // "system.ini"
#define IDS_FILE_TARNO_INI 45   // "tarno.ini"
#define IDS_FILE_SETUP_INF 73   // "setup.inf" of Windows
#define IDS_FILE_CONTROL_INF 75 // "control.inf"

// ---- Strings: sections and keys of setup1.inf ---------------------------------------------------------
#define IDS_SEC_COMMON_FLAGS 21      // "CommonInstallFlags"
#define IDS_SEC_OEM_FLAGS 112        // "OemInstallFlags"
#define IDS_KEY_DEFAULT_COUNTRY 31   // "DefaultUserCountry"
#define IDS_KEY_DEFAULT_HOTKEY 32    // "DefaultHotKey"
#define IDS_KEY_SHOW_WELCOME 33      // "ShowWelcomeDialog"
#define IDS_KEY_ASK_COUNTRY 34       // "AskCountryAndPath"
#define IDS_KEY_ASK_OPTIONS 65       // "AskSetupOptions"
#define IDS_KEY_ASK_RESTART 70       // "AskRestartOrReturn"
#define IDS_SEC_SETUP_DISK 52        // "SetupDisk"
#define IDS_SEC_DISKS 82             // "disks"
#define IDS_SEC_COUNTRY 83           // "country" (also a section of tarno.ini)
#define IDS_SEC_COUNTRY_KEY 84       // "Country Key"
#define IDS_SEC_DEFAULT_SETUP 85     // "default.setup"
#define IDS_SEC_KEYBOARD_LAYOUTS 86  // "Keyboard Layouts"
#define IDS_SEC_CODEPAGE_DESC 88     // "codepage.description"
#define IDS_SEC_CODEPAGE_NUMBER 89   // "codepage.number"
#define IDS_SEC_HOTKEY 90            // "hotkey"
#define IDS_SEC_VOLUME 91            // "volume"
#define IDS_SEC_OEMANSI 92           // "oemansi"
#define IDS_SEC_WINDOWS_SYSTEM 93    // "windows.system"
#define IDS_SEC_WINDOWS 95           // "windows"
#define IDS_SEC_VGA_GR3 97           // "VGA.GR3"
#define IDS_SEC_SYSFONTS 98          // "sysfonts" (+ "." + code page)
#define IDS_SEC_FIXEDFONTS 99        // "fixedfonts" (+ "." + code page)
#define IDS_SEC_OEMFONTS 100         // "oemfonts"
#define IDS_SEC_SMALL_1251 101       // "small.1251"
#define IDS_SEC_HELV_1251 102        // "helv.1251"
#define IDS_SEC_COUR_1251 103        // "cour.1251"
#define IDS_SEC_TMSR_1251 104        // "tmsr.1251"
#define IDS_SEC_TTF_1251 105         // "TTF.1251"
#define IDS_SEC_PRINTERS 106         // "printers"
#define IDS_SEC_PROGRAMFILES 107     // "programfiles.tarno"
#define IDS_SEC_PROGRAMFILES_SYS 108 // "programfiles.system"
#define IDS_SEC_UNINSTALL 109        // "uninstall.tarno"
#define IDS_SEC_PROGRAMFILES_WIN 110 // "programfiles.windows"
#define IDS_SEC_LANGUAGES_INST 132   // "languages.installed" (uninst.inf)
#define IDS_SEC_LOCATION 133         // "Location" (tarno.ini, uninst.inf)
#define IDS_SEC_APPLICATION 136      // "application"
#define IDS_SEC_TDK 137              // "tdk"
#define IDS_SEC_LAYOUTS_TARNO 138    // "Layouts.TARNO"
#define IDS_SEC_APPLICATIONS_SYS 249 // "applications.system"

// ---- Strings: keys of section "volume" and font selectors ---------------------------------------------
#define IDS_VOL_UNINSTFILES 37 // "UNINSTFILES"
#define IDS_VOL_APPLIC 80      // "APPLIC"
#define IDS_VOL_TDK 81         // "TDK"
#define IDS_VOL_WINOTHER 94    // "WINOTHER"
#define IDS_VOL_WINSPACE 111   // "WINSPACE"
#define IDS_VOL_PR2 234        // "PR2": 24-pin printer fonts
#define IDS_VOL_PR9 235        // "PR9": 9-pin printer fonts
#define IDS_VOL_ALL 236        // "ALL": plotter fonts
#define IDS_VOL_OEM 238        // "OEM"
#define IDS_VOL_TTF 239        // "TTF"
#define IDS_VOL_NET 240        // "NET": one disk of a server installation
#define IDS_VOL_PROGFILES 241  // "PROGFILES"
#define IDS_FONTRES_HI1 230    // "HI1": font resolution codes
#define IDS_FONTRES_HI2 231    // "HI2"
#define IDS_FONTRES_HI4 233    // "HI4"

// ---- Strings: sections and keys of the Windows configuration files ------------------------------------
#define IDS_KEY_OEMANSI_BIN 68 // "oemansi.bin"
#define IDS_SEC_BOOT 96        // "boot"
#define IDS_SEC_KEYBOARD 188   // "keyboard"
#define IDS_SEC_DEVICES 189    // "devices"
#define IDS_KEY_FONTS_FON 190  // "fonts.fon"
#define IDS_KEY_EGA80WOA 245   // "EGA80WOA.FON"
#define IDS_KEY_EGA40WOA 246   // "EGA40WOA.FON"
#define IDS_KEY_CGA80WOA 247   // "CGA80WOA.FON"
#define IDS_KEY_CGA40WOA 248   // "CGA40WOA.FON"
#define IDS_KEY_SLANGUAGE 201  // "sLanguage" of [intl]
#define IDS_INTL_KEY_FIRST 202 // "sCountry" ... "sLongDate": the [intl] keys in field order, 202 to 222
#define IDS_INTL_KEY_COUNT 21

// ---- Strings: defaults --------------------------------------------------------------------------------
#define IDS_DEFAULT_COUNTRY_KEY 113 // "RUS"
#define IDS_DEFAULT_COUNTRY 114     // "Russia"
#define IDS_DEFAULT_HOTKEY 115      // "Left Ctrl"
#define IDS_DEFAULT_STARTUP 116     // "StartUp": the start-up group

// ---- Strings: names read from the string table that have no fixed number of their own -------------------
// Numbered from 300 on. "TARNO" as a section name is IDS_GROUP_NAME, "hotkey" as a key of [keyboard] is
// IDS_SEC_HOTKEY, "country" of control.inf is IDS_SEC_COUNTRY and "boot" of system.ini is IDS_SEC_BOOT.
#define IDS_SEC_LANGUAGE 300           // "Language": descriptions of the language libraries (setup1.inf)
#define IDS_SEC_OEM_CODEPAGE_DESC 301  // "codepage.oem.description" (setup1.inf)
#define IDS_KEY_KEYBOARD_DRV 302       // "keyboard.drv" of [boot]
#define IDS_SEC_FONT_SUBSTITUTES 303   // "FontSubstitutes" (setup1.inf)
#define IDS_SEC_ICONS_PROGRAMFILES 304 // "TARNO.programfiles": Program Manager items
#define IDS_SEC_ICONS_APPLICATIONS 305 // "TARNO.apl"
#define IDS_SEC_ICONS_SAMPLE 306       // "TARNO.tdk"
#define IDS_SEC_INTL 310               // "intl" (win.ini)
#define IDS_SEC_BOOT_DESCRIPTION 311   // "boot.description" (system.ini)
#define IDS_SEC_386ENH 312             // "386Enh" (system.ini)
#define IDS_KEY_WINCODEPAGE 313        // "wincodepage" of [boot]
#define IDS_KEY_CODEPAGE 314           // "codepage" of [boot.description]
#define IDS_KEY_LANGUAGE_DLL 315       // "language.dll"
#define IDS_KEY_KEYBOARD_DLL 316       // "keyboard.dll" of [keyboard]
#define IDS_KEY_SECONDKEYB_DLL 317     // "secondkeyb.dll" of [keyboard]
#define IDS_KEY_WOAFONT 318            // "woafont" of [386Enh]; with ".fon" the key of [boot.description]
#define IDS_KEY_FIXEDFON_FON 319       // "fixedfon.fon": display settings value
#define IDS_KEY_OEMFONTS_FON 320       // "oemfonts.fon": display settings value
#define IDS_SEC_PROGMAN_GROUPS 321     // "progman.groups" of the Windows setup.inf
#define IDS_KEY_GROUP1 322             // "group1" of [progman.groups]
#define IDS_SAVE_INTL 330              // "intl.svd": sections of uninst.inf holding the previous values
#define IDS_SAVE_BOOT 331              // "boot.svd"
#define IDS_SAVE_LANG 332              // "Lang.svd"
#define IDS_SAVE_KEYBOARD 333          // "keyboard.svd"
#define IDS_SAVE_GRAB 334              // "Grab.Svd"
#define IDS_SAVE_FONTS 335             // "fonts.svd"
#define IDS_SAVE_DISPLAY_FONTS 336     // "DisplayFonts"
#define IDS_SAVE_SYSTEM_FONTS 337      // "SystemFonts"
#define IDS_SAVE_FONT_SUBSTITUTES 338  // "FontSubstitutes.svd"
#define IDS_SEC_ENABLED 339            // "Enabled": section and key of uninst.inf
#define IDS_SEC_TNNLS 340              // "TNNLS": installed layouts in tarno.ini
#define IDS_FILE_CONTROL_OLD 341       // "control.old": the copy of control.inf kept for the uninstaller

// ---- Dialog templates ---------------------------------------------------------------------------------
// Named resources are bare names to the resource compiler (a quoted name straight after a quoted file name
// would be joined to it) and strings to the code: RES_NAME gives both from one spelling.
#ifdef RC_INVOKED
#define RES_NAME(name) name
#else
#define RES_NAME(name) #name
#endif

#define DLG_MESSAGE RES_NAME(MESSAGE)
#define DLG_WELCOME RES_NAME(WELCOME)
#define DLG_SETUPDIR RES_NAME(SETUPDIR)
#define DLG_DRIVEDIR RES_NAME(DRIVEDIR)
#define DLG_SETUPOPTIONS RES_NAME(SETUPOPTIONS)
#define DLG_LANGLAYOUT RES_NAME(LANGLAYOUT)
#define DLG_FONTS RES_NAME(FONTS)
#define DLG_INSERTDISK RES_NAME(INSERTDISK)
#define DLG_EXITSETUP RES_NAME(EXITSETUP)
#define DLG_EXITSETUP3 RES_NAME(EXITSETUP3)
#define DLG_EXITSETUPSERVER RES_NAME(EXITSETUPSERVER)

// ---- Controls: MESSAGE (the code lays the buttons out and gives them their texts) ---------------------
#define IDC_MSG_BUTTON1 1
#define IDC_MSG_BUTTON2 2
#define IDC_MSG_BUTTON3 5

// ---- Controls: WELCOME --------------------------------------------------------------------------------
#define IDC_WELCOME_CONTINUE 1
#define IDC_WELCOME_EXIT 2

// ---- Controls: SETUPDIR -------------------------------------------------------------------------------
#define IDC_SETUPDIR_OK 1
#define IDC_SETUPDIR_EXIT 2
#define IDC_SETUPDIR_PATH 1101
#define IDC_SETUPDIR_BROWSE 1102
#define IDC_SETUPDIR_COUNTRY 1104
#define IDC_SETUPDIR_PICTURE 1025 // frame where NATION is drawn

// ---- Controls: DRIVEDIR -------------------------------------------------------------------------------
#define IDC_DRIVEDIR_OK 1
#define IDC_DRIVEDIR_CANCEL 2
#define IDC_DRIVEDIR_PATH 1101
#define IDC_DRIVEDIR_DRIVES 1130
#define IDC_DRIVEDIR_DIRS 1131

// ---- Controls: SETUPOPTIONS ---------------------------------------------------------------------------
#define IDC_OPT_CONTINUE 1
#define IDC_OPT_EXIT 2
#define IDC_OPT_LAYOUTS 1110 // three states
#define IDC_OPT_FONTS 1111   // three states
#define IDC_OPT_APPLICATIONS 1112
#define IDC_OPT_SAMPLE 1113
#define IDC_OPT_DOS_CODEPAGE 1115
#define IDC_OPT_LAYOUT_SWITCH 1116
#define IDC_OPT_LAYOUTS_BUTTON 1117
#define IDC_OPT_FONTS_BUTTON 1118
#define IDC_OPT_BACK 1119
#define IDC_OPT_PROGRAM_FILES 1120

// ---- Controls: LANGLAYOUT -----------------------------------------------------------------------------
#define IDC_LL_OK 1
#define IDC_LL_CANCEL 2
#define IDC_LL_EXIT 5
#define IDC_LL_SUPPORTED 1120
#define IDC_LL_SELECTED 1122
#define IDC_LL_ADD 1123
#define IDC_LL_ADD_ALL 1124
#define IDC_LL_REMOVE 1125
#define IDC_LL_LAYOUT1 1126
#define IDC_LL_LAYOUT2 1127
#define IDC_LL_REMOVE_ALL 1128

// ---- Controls: FONTS ----------------------------------------------------------------------------------
#define IDC_FONTS_OK 1
#define IDC_FONTS_CANCEL 2
#define IDC_FONTS_EXIT 5
#define IDC_FONTS_SMALL 1029
#define IDC_FONTS_LARGE 1030
#define IDC_FONTS_CODEPAGE 1111
#define IDC_FONTS_PRINTER 1114
#define IDC_FONTS_TRUETYPE 1140
#define IDC_FONTS_SCREEN 1141
#define IDC_FONTS_SYSTEM 1144
#define IDC_FONTS_PLOTTER 1145

// ---- Controls: INSERTDISK -----------------------------------------------------------------------------
#define IDC_DISK_OK 1
#define IDC_DISK_CANCEL 2
#define IDC_DISK_PATH 1101
#define IDC_DISK_BROWSE 1102
#define IDC_DISK_LABEL 1131
#define IDC_DISK_PICTURE 1024 // frame where DIRECT is drawn

// ---- Controls: EXITSETUP, EXITSETUP3, EXITSETUPSERVER -------------------------------------------------
#define IDC_EXIT_RETURN_WINDOWS 3
#define IDC_EXIT_RETURN_DOS 1026
#define IDC_EXIT_RESTART_WINDOWS 1027
#define IDC_EXIT_REBOOT 1030
#define IDC_EXIT_SHUTDOWN 1032

// ---- Bitmaps ------------------------------------------------------------------------------------------
#define BMP_COPYRIGHT RES_NAME(COPW)    // bottom right of the main window
#define BMP_LOGO RES_NAME(TARNOLOG1)    // top right of the main window
#define BMP_NATION RES_NAME(NATION)     // country dialog
#define BMP_DIRECT RES_NAME(DIRECT)     // insert-disk dialog
#define BMP_ADVERT1 RES_NAME(TARNOINF1) // advertising pictures, one per advertising text
#define BMP_ADVERT2 RES_NAME(TARNOINF2)
#define BMP_ADVERT3 RES_NAME(TARNOINF3)
#define BMP_ADVERT4 RES_NAME(TARNOINF4)
#define BMP_ADVERT5 RES_NAME(TARNOINF5)

// ---- Icons of the Installation Options rows (32x32) ---------------------------------------------------
#define ICO_APPLICATIONS 129
#define ICO_SAMPLE 130
#define ICO_LAYOUTS 131
#define ICO_PROGRAM_FILES 133
#define ICO_LAYOUT_SWITCH 134
#define ICO_FONTS 136
#define ICO_DOS_CODEPAGE 137
