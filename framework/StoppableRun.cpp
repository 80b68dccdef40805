#include "framework/StoppableRun.h"

#include "framework/RegisterServices.h"

StoppableRun::StoppableRun() : m_services(RegisterServices::Instance())
{
    m_services.OpenStoppableRun();
}

StoppableRun::~StoppableRun()
{
    m_services.CloseStoppableRun();
}

bool StoppableRun::StopRequested() const
{
    return m_services.StopRequested();
}
