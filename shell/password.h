#pragma once
// The Windows 9x screen-saver password change dialog, from MPR.DLL.
void ChangePassword();
