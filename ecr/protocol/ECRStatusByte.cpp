#include "ecr/protocol/ECRStatusByte.h"

#include "ecr/protocol/ECRFrame.h"

ECRStatusByte::Meaning ECRStatusByte::Of(unsigned char byte)
{
    if (byte == static_cast<unsigned char>(ECRFrame::ACK)) {
        return Meaning::Ready;
    }
    return ECRFrame::IsBusyStatus(byte) ? Meaning::Busy : Meaning::Unknown;
}

const char* ECRStatusByte::Name(Meaning meaning)
{
    switch (meaning) {
    case Meaning::Ready: return "ready";
    case Meaning::Busy: return "busy";
    case Meaning::Unknown: break;
    }
    return "unknown";
}

const char* ECRStatusByte::Describe(Meaning meaning)
{
    return meaning == Meaning::Unknown ? "not a status byte the register sends" : Name(meaning);
}
