#pragma once
// The vendor's identity and addresses, defined once for every window, the sample sheet and the help.

#include <QString>

namespace kelm {

inline constexpr char kCompanyName[] = "Tamrosk Labelworks";
inline constexpr char kStreet[] = "1200 Harbor Way, Suite 4";
inline constexpr char kTown[] = "Portsmouth, NH 03801";
inline constexpr char kPhone[] = "(603) 555-0142";
inline constexpr char kFax[] = "(603) 555-0143";
inline constexpr char kProductName[] = "Kelm Bar Code 3 of 9";
// The web site as shown to the user, and the pages opened in the browser (HTTPS: a plain HTTP
// address lets anyone on the network redirect the user).
inline constexpr char kWebAddress[] = "www.tamrosk.example";
inline constexpr char kTypefacePage[] = "https://www.tamrosk.example/kelm.htm";
// The update check carries a fixed 8-character product code, a hyphen and the version text.
inline constexpr char kUpdateCheckPrefix[] = "https://www.tamrosk.example/file/update.php?v=KELMBC39-";
// The maker's one-line notice in the main window.
inline constexpr char kMakerNotice[] = "Free from Tamrosk Labelworks";

// The postal address on one line, and the phone and fax numbers on one line.
inline QString VendorAddressLine()
{
    return QString::fromUtf8(kStreet) + QStringLiteral(", ") + QString::fromUtf8(kTown);
}
inline QString VendorPhoneFaxLine()
{
    return QStringLiteral("Phone: ") + QString::fromUtf8(kPhone) + QStringLiteral("  Fax: ") +
           QString::fromUtf8(kFax);
}

} // namespace kelm
