// What the setup wizard's pages share: the wizard's own record, the button
// requests to the sheet, the answer to a notification and the handling every
// page gives the heading font and the cancel question.
#pragma once

#include <windows.h>

#include "editor.h"

namespace wizard {

// The pages write into it, Finish hands it over. It lives for the process,
// so Back keeps what was chosen.
extern OptionData g_record;

// Posts the set-buttons request (kWiz* flags) to the page's sheet.
void SetButtons(HWND page, unsigned buttons);
// The answer a page gives to a notification.
INT_PTR Result(HWND page, LONG_PTR result);
UINT NotifyCode(LPARAM lParam);
// The heading font at start and the cancel question: true when the message
// was handled and `handled` holds the result.
bool CommonPageMessage(HWND page, UINT message, LPARAM lParam, INT_PTR& handled);
// Sets "IsInitialized" to 1; a key that cannot be opened is passed over.
void MarkInitialized();

INT_PTR CALLBACK WelcomePageProc(HWND, UINT, WPARAM, LPARAM);   // 600
INT_PTR CALLBACK TimeoutPageProc(HWND, UINT, WPARAM, LPARAM);   // 601
INT_PTR CALLBACK PasswordPageProc(HWND, UINT, WPARAM, LPARAM);  // 602
INT_PTR CALLBACK DonePageProc(HWND, UINT, WPARAM, LPARAM);      // 603

}  // namespace wizard
