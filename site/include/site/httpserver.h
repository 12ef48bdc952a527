#pragma once

// Transitional: the loopback server, its requests and its connections once had
// this one header. Include the header of the class you use instead; this one
// goes when nothing includes it any more.
#include "site/httpconnection.h"
#include "site/httprequest.h"
#include "site/loopbackhttpserver.h"
