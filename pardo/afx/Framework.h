#pragma once
// Pardo's own application framework, in the names that Pardo's interface is
// written in: strings, exceptions, files and archives, windows, dialogs, GDI
// objects. It is exported by Pardo.dll for its hosts and providers.
#include "pardo/afx/Archive.h"
#include "pardo/afx/Dialogs.h"
#include "pardo/afx/Exceptions.h"
#include "pardo/afx/Files.h"
#include "pardo/afx/Gdi.h"
#include "pardo/afx/Module.h"
#include "pardo/afx/Objects.h"
#include "pardo/afx/Strings.h"
#include "pardo/afx/Wnd.h"
