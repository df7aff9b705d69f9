// Resource numbers shared by the .rc file and the windows that load them,
// grouped by window.
#pragma once

#define IDI_TALLYWICK 1

// Main window (100..199)
#define IDB_MAIN_INTRO 101          // Picture10
#define IDB_MAIN_NORMAL 102         // Picture11
#define IDB_MAIN_HOVER_CHECK 103    // Picture7
#define IDB_MAIN_HOVER_OPTIONS 104  // Picture8
#define IDB_MAIN_HOVER_EXIT 105     // Picture9
#define IDB_HEART_COLOR 111         // Picture1
#define IDB_HEART_GREY 112          // Picture2
#define IDB_GEARS_COLOR 113         // Picture3
#define IDB_GEARS_GREY 114          // Picture4
#define IDB_POWER_COLOR 115         // Picture5
#define IDB_POWER_GREY 116          // Picture6

// About window (200..299)
#define IDB_ABOUT_CLOSE 201        // Picture1
#define IDB_ABOUT_CLOSE_HOVER 202  // Picture2

// Loading window (300..399)
#define IDB_LOADING_CANCEL 301        // Picture1
#define IDB_LOADING_CANCEL_HOVER 302  // Picture2
#define IDB_LOADING_IMAGE 303         // I1

// Options window (500..599)
#define IDB_OPTIONS_OK 501            // Picture1
#define IDB_OPTIONS_OK_HOVER 502      // Picture2
#define IDB_OPTIONS_CANCEL 503        // Picture3
#define IDB_OPTIONS_CANCEL_HOVER 504  // Picture4
#define IDB_OPTIONS_HELP 505          // Picture5

// Check box control (600..699), in the order of CheckPicture
#define IDB_CHECK_FIRST 601
#define IDB_CHECK_IDLE_OFF 601
#define IDB_CHECK_IDLE_ON 602
#define IDB_CHECK_IDLE_GREY 603
#define IDB_CHECK_OVER_OFF 604
#define IDB_CHECK_OVER_ON 605
#define IDB_CHECK_OVER_GREY 606
#define IDB_CHECK_PUSHED_OFF 607
#define IDB_CHECK_PUSHED_ON 608
#define IDB_CHECK_PUSHED_GREY 609
#define IDB_CHECK_DISABLED_OFF 610
#define IDB_CHECK_DISABLED_ON 611
#define IDB_CHECK_DISABLED_GREY 612

// Report window (400..499)
#define IDB_REPORT_ACCEPT 401        // Picture1
#define IDB_REPORT_ACCEPT_HOVER 402  // Picture2
#define IDB_REPORT_CLOSE 403         // Picture3
#define IDB_REPORT_CLOSE_HOVER 404   // Picture4
