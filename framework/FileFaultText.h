#pragma once

#include "ecr/files/FileFault.h"

#include <QString>

// What the dialogs say about a file they could not use: the Serbian words
// (FaultText), with the path as the file system spells it.
QString FileFaultText(const FileFault& fault);

// That text in a message box titled "Greska", as the design shows a file
// that cannot be opened.
void ShowFileFault(const FileFault& fault);
