#pragma once
// The window set: one instance of each window for the whole run, created once, in this order,
// before the main window is shown, and never re-created.

class TKelmInput;
class TWarningBox;
class TTip;
class TForm2;
class TForm3;

extern TKelmInput* KelmInput;
extern TWarningBox* WarningBox;
extern TTip* Tip;
extern TForm2* Form2;
extern TForm3* Form3;

// Creates the five windows, hidden, in the order KelmInput, WarningBox, Tip, Form2, Form3.
void CreateWindowSet();
// Destroys them again (the application object's job at program end; tests call it between cases).
void DestroyWindowSet();
