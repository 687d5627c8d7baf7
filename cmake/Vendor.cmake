# The maker's identity and addresses, defined once: src/app/Vendor.h is configured from these, and the
# help pages take them too.
set(KELM_VENDOR_CompanyName "Tamrosk Labelworks")
set(KELM_VENDOR_Street "1200 Harbor Way, Suite 4")
set(KELM_VENDOR_Town "Portsmouth, NH 03801")
set(KELM_VENDOR_Phone "(603) 555-0142")
set(KELM_VENDOR_Fax "(603) 555-0143")
set(KELM_VENDOR_ProductName "Kelm Bar Code 3 of 9")
# The web site as shown to the user, and the pages opened in the browser (HTTPS: a plain HTTP address
# lets anyone on the network redirect the user).
set(KELM_VENDOR_WebAddress "www.tamrosk.example")
set(KELM_VENDOR_TypefacePage "https://www.tamrosk.example/kelm.htm")
# The update check carries a fixed 8-character product code, a hyphen and the version text.
set(KELM_VENDOR_UpdateCheckPrefix "https://www.tamrosk.example/file/update.php?v=KELMBC39-")
# The program's id for software centres (the web address's name reversed), the address a package names
# its maker by, and where the README's pictures are published for software centres (resources/screenshots;
# a software centre takes pictures from the web only).
set(KELM_VENDOR_AppId "example.tamrosk.kelm")
set(KELM_VENDOR_Email "kelm@tamrosk.example")
set(KELM_SCREENSHOT_BASE "https://${KELM_VENDOR_WebAddress}/kelm/screenshots")
# The maker's one-line notice in the main window.
set(KELM_VENDOR_MakerNotice "Free from Tamrosk Labelworks")
