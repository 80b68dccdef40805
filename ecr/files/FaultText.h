#pragma once

#include "ecr/files/FileFault.h"

#include <string>

// The words for a refused file or text: English for ecrctl, Serbian (plain
// ASCII letters, as all the dialogs' texts) for the dialogs. One wording per
// language, kept side by side in the same tables:
//   "plu.txt, line 4, name: holds the control byte 0x09 (TAB) at character 3"
//   "Fajl plu.txt, red 4, naziv: kontrolni znak 0x09 (TAB) na mestu 3"
class FaultText {
public:
    enum class Language { English, Serbian };

    static std::string Describe(const FileFault& fault, Language language);
    static std::string Describe(const TextFault& fault, Language language);
    static std::string Describe(const ECRArticleRules::Fault& fault, Language language);
    // The article field a rule names, e.g. "price" or "cena".
    static std::string FieldName(ECRArticleRules::Fault::Field field, Language language);
};
