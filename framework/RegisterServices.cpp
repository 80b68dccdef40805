#include "framework/RegisterServices.h"

#include "ecr/protocol/CommError.h"

namespace {

RegisterServices* g_pServices = nullptr;

}  // namespace

RegisterServices& RegisterServices::Instance()
{
    if (g_pServices == nullptr) {
        throw CommError(CommError::OpenFailed);
    }
    return *g_pServices;
}

ECRDevice& RegisterServices::Device()
{
    ECRDevice* device = Instance().ConnectedDevice();
    if (device == nullptr) {
        throw CommError(CommError::OpenFailed);
    }
    return *device;
}

RegisterServices* RegisterServices::Install(RegisterServices* services)
{
    RegisterServices* previous = g_pServices;
    g_pServices = services;
    return previous;
}
