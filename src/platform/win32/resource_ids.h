/* Resource numbers shared by the resource script and the code (plain C: windres reads it too). */
#pragma once

#define XPEKKO_ICON 1
#define XPEKKO_RPIC1 101
#define XPEKKO_RPIC2 102
#define XPEKKO_RPIC3 103
