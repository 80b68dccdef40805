#include "ecr/protocol/ECRVerdict.h"

const char* ECRVerdict::CheckName(Check check)
{
    switch (check) {
    case Check::None:
        return "none";
    case Check::FrameLength:
        return "frame length";
    case Check::Checksum:
        return "checksum";
    case Check::ReplyLength:
        return "reply length";
    case Check::ReplyClass:
        return "reply class";
    case Check::ReplyLetter:
        return "reply letter";
    case Check::ErrorEcho:
        return "error reply echo";
    case Check::ErrorCode:
        return "error reply code";
    }
    return "unknown";
}
