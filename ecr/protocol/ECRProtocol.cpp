#include "ecr/protocol/ECRProtocol.h"

#include "ecr/protocol/ECRMessageSink.h"

std::int32_t ECRProtocol::LastErrorCode()
{
    return ECRMessageSink::LastCode();
}
