#include "framework/FileFaultText.h"

#include "ecr/files/FaultText.h"
#include "framework/UiPrompts.h"

#include <QByteArray>
#include <QFile>

QString FileFaultText(const FileFault& fault)
{
    return QFile::decodeName(QByteArray::fromStdString(FaultText::Describe(fault, FaultText::Language::Serbian)));
}

void ShowFileFault(const FileFault& fault)
{
    ThermalMessageBox(FileFaultText(fault), MessageButtons::Ok, QStringLiteral("Greska"));
}

std::string LocalFileName(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}
