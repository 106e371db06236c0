#pragma once
// The program folder and the maker's addresses, shared by the recorder window, the settings
// and the add-in's buttons, and the three links the windows open through the shell.
#include <string>

namespace kestova {

// The folder of the add-in library with one trailing backslash; empty until the add-in sets it.
std::string AppPath();
void SetAppPath(const std::string& path);

// The maker's web domain (also the recordings' ID3 artist).
inline constexpr char MakerDomain[] = "www.kestova.example";

// The root of the maker's web site; the About window shows it as the link's caption.
std::string HomePageAddress();

// Each hands its target to the shell's "open" and returns; any failure goes unreported.
void OpenHomePage();
void OpenSupportPage();  // the same site, "/support.php"
void OpenHelpFile();     // AppPath + "zelt.chm"

}  // namespace kestova
