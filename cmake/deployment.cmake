# Fixed values of the program chosen at build time (hosts of the diary
# service, the maker's pages, the author's member ID). The defaults use the
# reserved .example domain so that nothing real is contacted by accident.
set(TW_MAIN_HOST "diary.example" CACHE STRING "Main host of the diary service")
set(TW_PDA_HOST "pda.diary.example" CACHE STRING "PDA host of the diary service (direct requests)")
set(TW_PDA_PORT "80" CACHE STRING "Port of the PDA host (a test build may point it at the stand-in)")
set(TW_MAKER_HOST "tallywick.example" CACHE STRING "Host of the maker's web site")
set(TW_HOME_URL "http://tallywick.example/" CACHE STRING "Maker's home page")
set(TW_QUOTES_URL "http://tallywick.example/quotes/" CACHE STRING "Random-quote page")
set(TW_ERROR_CODES_URL "http://tallywick.example/errors/" CACHE STRING "Page that explains connection error codes")
set(TW_NEWS_DIARY "wrenfold" CACHE STRING "Name of the maker's news diary (path /~name/)")
set(TW_VERSION_POST_ID "4548577" CACHE STRING "Post of the news diary that carries the version")
set(TW_SUPPORT_DIARY "Wrenfold" CACHE STRING "Name of the support community diary (path /~name/)")
set(TW_AUTHOR_ID "1" CACHE STRING "Member ID of the author")

set(TW_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/deployment.h.in ${TW_GENERATED_DIR}/deployment.h @ONLY)
