// A fresh machine that looks like a plain Windows 95 installation on drive C:, with an empty floppy
// drive A:.
#include "platform/sim/machine/machine.h"
#include "platform/sim/shell/progman.h"
#include "platform/sim/sim.h"
#include "platform/sim/machine/textfile.h"

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
oemfonts.fon=vgaoem.fon
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
fonts.fon=vgasys.fon
fixedfon.fon=vgafix.fon
386grabber=vgafull.3gr
display.drv=pnpdrvr.drv
language.dll=

[boot.description]
system.drv=Standard PC
codepage=1252
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
"MS Sans Serif 8,10,12,14,18,24"="SSERIFE.FON"
"MS Serif 8,10,12,14,18,24"="SERIFE.FON"
"Courier 10,12,15"="COURE.FON"
"Small Fonts"="SMALLE.FON"

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\FontSubstitutes]
"Helv"="MS Sans Serif"
"Tms Rmn"="MS Serif"
"Times"="Times New Roman"
"Helvetica"="Arial"

[HKEY_CURRENT_CONFIG\Display\Settings]
"Resolution"="640,480"
"BitsPerPixel"="8"
"DPILogicalX"="96"
"DPILogicalY"="96"
"DPIPhysicalX"="96"
"DPIPhysicalY"="96"
"fonts.fon"="vgasys.fon"
"fixedfon.fon"="vgafix.fon"
"oemfonts.fon"="vgaoem.fon"

[HKEY_CURRENT_CONFIG\Display\Fonts]
"fonts.fon"="vgasys.fon"
"fixedfon.fon"="vgafix.fon"
"oemfonts.fon"="vgaoem.fon"
)INI";

// Windows files are written with CR LF line ends.
std::string crlf(const char* text) {
    std::string out;
    for (const char* p = text; *p; ++p) {
        if (*p == '\n') out += '\r';
        out += *p;
    }
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

// Font files of a Windows 95 installation; their content is a marker, not a real font.
const char* const kFontFiles[] = {"VGASYS.FON", "VGAFIX.FON", "VGAOEM.FON", "SSERIFE.FON", "SERIFE.FON",
                                  "COURE.FON",  "SMALLE.FON", "ARIAL.TTF",  "COUR.TTF",    "TIMES.TTF"};

} // namespace

std::vector<std::pair<std::string, std::string>> default_machine_files() {
    std::vector<std::pair<std::string, std::string>> files = {
        {"C/WINDOWS/WIN.INI", crlf(kWinIni)},
        {"C/WINDOWS/SYSTEM.INI", crlf(kSystemIni)},
        {"C/WINDOWS/SYSTEM/CONTROL.INF", crlf(kControlInf)},
        {"C/WINDOWS/SYSTEM/SETUP.INF", crlf(kSetupInf)},
        {"registry.reg", crlf(kRegistry)}};
    for (const char* f : kFontFiles)
        files.push_back(
            {std::string("C/WINDOWS/FONTS/") + f, std::string("simulated font file ") + f + "\r\n"});
    return files;
}

bool create_default_machine(const std::string& dir, std::string* error) {
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
    for (const auto& [relative, content] : default_machine_files())
        ok = ok && write_file(root / relative, content, error);
    return ok && save_progman(dir, default_progman(), error) && save_settings(dir, s, error);
}

} // namespace sim
