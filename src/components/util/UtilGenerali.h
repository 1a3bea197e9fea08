#pragma once
// General routines of the suite's utility object.
class UtilGenerali {
public:
};
