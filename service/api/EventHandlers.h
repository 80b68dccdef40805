#pragma once

#include "service/api/RouteTable.h"
#include "service/registers/ServiceEvent.h"

#include <cstddef>
#include <string>
#include <vector>

class EventHub;
class JobBoard;
class ServiceClock;

// GET /events?watch=ID,ID: one stream of server-sent events per client (the
// console, or a till that wants them), subscribed to the EventHub:
//   event: register   the register's status, as GET /registers/{id}/status
//                     answers it (first one for every register, then on a change)
//   event: job        a job queued, begun or ended: id, register, kind,
//                     state, outcome, key (when queued), at
//   event: traffic    an entry of a watched register's line, decoded: register,
//                     at, direction, line
//   event: lost       events were lost: read the state again
// A client that falls behind by more than kBufferBytes is dropped (it
// reconnects and reads the state again); the register's line never waits.
class EventHandlers {
public:
    static constexpr std::size_t kBufferBytes = 128 * 1024;

    // Sets the hub's format to Text.
    EventHandlers(EventHub& hub, JobBoard& board, const ServiceClock& clock);

    void Events(const HttpRequest& request, const std::vector<std::string>& params, const Responder& responder);
    // The event as the stream sends it: "event: NAME\ndata: JSON\n\n".
    std::string Text(const ServiceEvent& event) const;

private:
    EventHub& m_hub;
    JobBoard& m_board;
    const ServiceClock& m_clock;
};
