# The sites the program talks to are build settings: the program reads no configuration at run time.
# The defaults point at lunvek-site on loopback, which scripts/run starts.
set(LUNVEK_SITE_PORT "18936" CACHE STRING "Port lunvek-site listens on by default")
set(LUNVEK_SEARCH_BASE "http://127.0.0.1:${LUNVEK_SITE_PORT}" CACHE STRING "Search site base address, no trailing slash")
set(LUNVEK_UPDATE_BASE "http://127.0.0.1:${LUNVEK_SITE_PORT}" CACHE STRING "Update site base address, no trailing slash")
set(LUNVEK_HOME_URL "http://127.0.0.1:${LUNVEK_SITE_PORT}/maker/" CACHE STRING "Maker's home page")
set(LUNVEK_SUBSCRIBE_URL "http://127.0.0.1:${LUNVEK_SITE_PORT}/maker/subscribe.html" CACHE STRING "Mailing-list subscription page")
