// The window classes of the main window's own controls.
#pragma once

#include "system/System.h"

inline constexpr char kLabelClass[] = "F2PasteLabel";
inline constexpr char kPictureBoxClass[] = "F2PastePictureBox";
inline constexpr char kLinkClass[] = "F2PasteLink";
inline constexpr char kTimerClass[] = "F2PasteTimer";

// The address the link opens.
inline constexpr char kLinkTarget[] = "http://www.example.com/";

// A class with no background brush: each window paints all of itself.
bool RegisterWindowClass(HINSTANCE instance, const char* name, WNDPROC procedure, UINT style,
                         HCURSOR cursor);

bool RegisterControlClasses(HINSTANCE instance);

// Black text on white for the combo box's edit field and list, answered by
// whichever window the combo box reports to.
bool AnswerComboColour(UINT message, WPARAM wParam, LRESULT* result);

// Opens target in the user's browser; true on success.
bool OpenLinkTarget(const char* target);

// Timer identifier of the trimming timer on its own window.
inline constexpr UINT_PTR kTrimTimerId = 1000;

// Writing the period already set does nothing; otherwise a running timer is
// stopped and, for a period above 0, started again.
void SetTimerPeriod(HWND timer, int ms);
