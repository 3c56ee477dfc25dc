#pragma once
// What the sample search service answers for each request target, whatever the
// host. Special film names select fault modes, so one running instance serves
// them all:
//   __hang__    accepts the request and never answers (the connection stays open)
//   __big__     a results page of about 50 MB, produced while it is sent
//   __popups__  a page whose script opens 50 pop-up windows on load
//   __slow__    the normal results page, after 3 seconds

#include "tools/sample_service/http_server.h"

namespace sample_service {

Response answer_request(const Request& request);

}  // namespace sample_service
