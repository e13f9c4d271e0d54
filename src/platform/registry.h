// The registry of the current user, as the settings see it. (Placeholder; filled in next.)
#pragma once
namespace brevok { class Registry; }
