// A fresh machine that looks like a plain Windows 95 installation on drive C:, with an empty floppy
// drive A:. Its screen fonts are real bitmap font files, those of its ANSI code page, taken from the
// fonts-wine package when the machine is made.
#include "platform/sim/machine/machine.h"
#include "platform/sim/shell/progman.h"
#include "platform/sim/sim.h"
#include "platform/sim/machine/textfile.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace sim {
namespace {

const char kWinIni[] = R"INI([windows]
load=
run=
NullPort=None
device=HP LaserJet 4L,HPPCL5MS,LPT1:

[Desktop]
Wallpaper=(None)
TileWallpaper=0
WallpaperStyle=0

[intl]
iCountry=1
sCountry=United States
sLanguage=enu
iDate=0
iTime=0
iTLZero=0
iLzero=0
iMeasure=1
iCurrency=0
iCurrDigits=2
iNegCurr=0
iDigits=2
s1159=AM
s2359=PM
sCurrency=$
sThousand=,
sDecimal=.
sDate=/
sTime=:
sList=,
sShortDate=M/d/yy
sLongDate=dddd, MMMM dd, yyyy

[ports]
LPT1:=
COM1:=9600,n,8,1,x
COM2:=9600,n,8,1,x
FILE:=

[devices]
HP LaserJet 4L=HPPCL5MS,LPT1:

[PrinterPorts]
HP LaserJet 4L=HPPCL5MS,LPT1:,15,45

[fonts]

[FontSubstitutes]
Helv=MS Sans Serif
Tms Rmn=MS Serif
Times=Times New Roman
Helvetica=Arial

[TrueType]

[mci extensions]
wav=waveaudio
mid=sequencer
avi=AVIVideo

[Compatibility]
)INI";

const char kSystemIni[] = R"INI([boot]
oemfonts.fon=@OEMFONT@
shell=Explorer.exe
system.drv=system.drv
drivers=mmsystem.dll power.drv
user.exe=user.exe
gdi.exe=gdi.exe
sound.drv=mmsound.drv
dibeng.drv=dibeng.dll
comm.drv=comm.drv
mouse.drv=mouse.drv
keyboard.drv=keyboard.drv
fonts.fon=@SYSFONT@
fixedfon.fon=@FIXEDFONT@
386grabber=vgafull.3gr
display.drv=pnpdrvr.drv
language.dll=

[boot.description]
system.drv=Standard PC
codepage=@CODEPAGE@
woafont.dll=English (437)
aspect=100,96,96
display.drv=Standard Display Adapter (VGA)
keyboard.typ=Standard 101/102-Key or Microsoft Natural Keyboard
mouse.drv=Standard mouse

[keyboard]
subtype=0
type=4
keyboard.dll=
oemansi.bin=

[386Enh]
ebios=*ebios
woafont=dosapp.fon
mouse=*vmouse, msmouse.vxd
device=*dynapage
device=*vcd
device=*vpd
device=*int13
keyboard=*vkd
display=*vdd,*vflatd
EGA80WOA.FON=EGA80WOA.FON
EGA40WOA.FON=EGA40WOA.FON
CGA80WOA.FON=CGA80WOA.FON
CGA40WOA.FON=CGA40WOA.FON

[NonWindowsApp]
TTInitialSizes=4 5 6 7 8 9 10 11 12 13 14 15 16 18 20 22

[vcache]

[display]

[drivers]
wavemapper=msacm.drv
)INI";

const char kControlInf[] = R"INI(; Control Panel country list
[country]
"United States","1","0","0","2","0","0","$","1","2","0","0","AM","PM",",",".","/",":",",","M/d/yy","dddd, MMMM dd, yyyy"
"United Kingdom","44","1","0","2","1","1","GBP","0","2","1","0","","",",",".","/",":",",","dd/MM/yy","dd MMMM yyyy"
"Germany","49","1","3","2","1","1","DM","0","2","1","0","","",".",",",".",":",";","dd.MM.yy","dddd, d. MMMM yyyy"

[language]
"enu","English (American)","LANGSUPP.DLL"
)INI";

const char kSetupInf[] = R"INI([setup]
help=setup.hlp

[progman.groups]
group1=StartUp
group2=Accessories
group3=Games

[group1]

[group2]
"Notepad",NOTEPAD.EXE
"Calculator",CALC.EXE
)INI";

const char kRegistry[] = R"INI(REGEDIT4

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion]
"ProductName"="Microsoft Windows 95"
"Version"="Windows 95"
"VersionNumber"="4.00.950"
"SystemRoot"="C:\\WINDOWS"

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Fonts]
"Arial (TrueType)"="ARIAL.TTF"
"Courier New (TrueType)"="COUR.TTF"
"Times New Roman (TrueType)"="TIMES.TTF"
"MS Sans Serif 8,10,12,14,18,24 (VGA res)"="@SANSFONT@"
"Courier 10,12,15 (VGA res)"="@COURFONT@"
"Small Fonts (VGA res)"="@SMALLFONT@"

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\FontSubstitutes]
"Helv"="MS Sans Serif"
"Tms Rmn"="MS Serif"
"Times"="Times New Roman"
"Helvetica"="Arial"
"MS Shell Dlg"="MS Sans Serif"

[HKEY_CURRENT_CONFIG\Display\Settings]
"Resolution"="640,480"
"BitsPerPixel"="8"
"DPILogicalX"="96"
"DPILogicalY"="96"
"DPIPhysicalX"="96"
"DPIPhysicalY"="96"
"fonts.fon"="@SYSFONT@"
"fixedfon.fon"="@FIXEDFONT@"
"oemfonts.fon"="@OEMFONT@"

[HKEY_CURRENT_CONFIG\Display\Fonts]
"fonts.fon"="@SYSFONT@"
"fixedfon.fon"="@FIXEDFONT@"
"oemfonts.fon"="@OEMFONT@"
)INI";

// The font files of a Windows 95 of each code page. The package has no OEM font and no Cyrillic fixed
// font: SYSTEM.INI names them as Windows 95 does, and the stock fonts that come from them are chosen by
// the font mapper instead.
struct CodePageFonts {
    unsigned codepage;
    const char* system;
    const char* fixed;
    const char* oem;
    const char* sans;
    const char* courier;
    const char* small;
};
const CodePageFonts kFontSets[] = {
    {1252, "vgasys.fon", "vgafix.fon", "vgaoem.fon", "SSERIFE.FON", "COURE.FON", "SMALLE.FON"},
    {1251, "vgasysr.fon", "vgafixr.fon", "vga866.fon", "SSERIFER.FON", "COURER.FON", "SMALLER.FON"},
};

const CodePageFonts& fonts_of(unsigned codepage) {
    return codepage == 1251 ? kFontSets[1] : kFontSets[0];
}

// TrueType files are recorded by name only: their content is a marker, not a font.
const char* const kTrueTypeFiles[] = {"ARIAL.TTF", "COUR.TTF", "TIMES.TTF"};

std::string package_font_dir() {
    const char* dir = std::getenv("WIN95SIM_FONTS");
    return dir ? dir : "/usr/share/wine/fonts";
}

void replace_all(std::string& text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

// Windows files are written with CR LF line ends; the font names are those of the code page.
std::string windows_text(const char* text, unsigned codepage) {
    std::string out;
    for (const char* p = text; *p; ++p) {
        if (*p == '\n') out += '\r';
        out += *p;
    }
    const CodePageFonts& f = fonts_of(codepage);
    replace_all(out, "@SYSFONT@", f.system);
    replace_all(out, "@FIXEDFONT@", f.fixed);
    replace_all(out, "@OEMFONT@", f.oem);
    replace_all(out, "@SANSFONT@", f.sans);
    replace_all(out, "@COURFONT@", f.courier);
    replace_all(out, "@SMALLFONT@", f.small);
    replace_all(out, "@CODEPAGE@", std::to_string(f.codepage));
    return out;
}

bool write_file(const fs::path& path, const std::string& data, std::string* error) {
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    if (ec || !write_host_file(path.string(), data)) {
        if (error) *error = "cannot write " + path.string();
        return false;
    }
    return true;
}

// Copies the code page's font files that the package has into C:\WINDOWS\FONTS, in upper case as
// Windows 95 setup names them; a file the package lacks is left out.
bool install_fonts(const fs::path& fonts, unsigned codepage, std::string* error) {
    const CodePageFonts& f = fonts_of(codepage);
    for (const char* name : {f.system, f.fixed, f.oem, f.sans, f.courier, f.small}) {
        std::string lower = name;
        for (char& c : lower)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        fs::path source = fs::path(package_font_dir()) / lower;
        std::error_code ec;
        if (!fs::is_regular_file(source, ec)) continue;
        fs::copy_file(source, fonts / upper_ascii(name), fs::copy_options::overwrite_existing, ec);
        if (ec) {
            if (error) *error = "cannot copy " + source.string() + ": " + ec.message();
            return false;
        }
    }
    return true;
}

} // namespace

std::vector<std::pair<std::string, std::string>> default_machine_files(unsigned codepage) {
    std::vector<std::pair<std::string, std::string>> files = {
        {"C/WINDOWS/WIN.INI", windows_text(kWinIni, codepage)},
        {"C/WINDOWS/SYSTEM.INI", windows_text(kSystemIni, codepage)},
        {"C/WINDOWS/SYSTEM/CONTROL.INF", windows_text(kControlInf, codepage)},
        {"C/WINDOWS/SYSTEM/SETUP.INF", windows_text(kSetupInf, codepage)},
        {"registry.reg", windows_text(kRegistry, codepage)}};
    for (const char* f : kTrueTypeFiles)
        files.push_back(
            {std::string("C/WINDOWS/FONTS/") + f, std::string("simulated font file ") + f + "\r\n"});
    return files;
}

bool create_default_machine(const std::string& dir, std::string* error, unsigned codepage) {
    std::error_code ec;
    fs::path root(dir);
    fs::create_directories(root, ec);
    if (ec) {
        if (error) *error = "cannot create " + dir + ": " + ec.message();
        return false;
    }
    if (fs::exists(root / "machine.ini")) {
        if (error) *error = dir + " already holds a machine";
        return false;
    }
    Settings s;
    s.codepage = codepage == 1251 ? 1251 : 1252;
    std::string err;
    if (!apply_setting(s, "drive A: removable A", dir, &err) ||
        !apply_setting(s, "drive C: fixed C", dir, &err)) {
        if (error) *error = err;
        return false;
    }
    fs::path win = root / "C" / "WINDOWS";
    fs::create_directories(root / "A", ec);
    fs::create_directories(win / "SYSTEM", ec);
    fs::create_directories(win / "FONTS", ec);
    fs::create_directories(win / "TEMP", ec);
    fs::create_directories(root / "C" / "Program Files", ec);
    if (ec) {
        if (error) *error = "cannot create the drive folders in " + dir + ": " + ec.message();
        return false;
    }
    bool ok = true;
    for (const auto& [relative, content] : default_machine_files(s.codepage))
        ok = ok && write_file(root / relative, content, error);
    return ok && install_fonts(win / "FONTS", s.codepage, error) &&
           save_progman(dir, default_progman(), error) && save_settings(dir, s, error);
}

} // namespace sim
