#include "WindowSet.h"

#include "About.h"
#include "Kelm.h"
#include "Labels.h"

TKelmInput* KelmInput = nullptr;
TWarningBox* WarningBox = nullptr;
TTip* Tip = nullptr;
TForm2* Form2 = nullptr;
TForm3* Form3 = nullptr;

void CreateWindowSet()
{
    // A fresh run: no bar code, no data folder yet, the clipboard warning not yet considered.
    BarCodeMade = 0;
    DataFolder.clear();
    DataFolderFound = false;
    WarningShown = false;
    KelmInput = new TKelmInput;
    WarningBox = new TWarningBox;
    Tip = new TTip;
    Form2 = new TForm2;
    Form3 = new TForm3;
}

void DestroyWindowSet()
{
    delete Form3;
    delete Form2;
    delete Tip;
    delete WarningBox;
    delete KelmInput;
    Form3 = nullptr;
    Form2 = nullptr;
    Tip = nullptr;
    WarningBox = nullptr;
    KelmInput = nullptr;
}
