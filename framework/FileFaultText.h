#pragma once

#include "ecr/files/FileFault.h"

#include <QString>

#include <string>

// What the dialogs say about a file they could not use: the Serbian words
// (FaultText), with the path as the file system spells it.
QString FileFaultText(const FileFault& fault);

// That text in a message box titled "Greska", as the design shows a file
// that cannot be opened.
void ShowFileFault(const FileFault& fault);

// A path chosen in a prompt, as the file functions take it (the local 8-bit
// encoding, UTF-8 here).
std::string LocalFileName(const QString& path);
