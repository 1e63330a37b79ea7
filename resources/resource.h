// Symbolic ids of the module's resources (gpsdialogs.rc): dialog templates, control ids and
// strings. Included by the resource script and by the dialog sources.
//
// Dialog ids are named after the dialog class that uses the template. Some control ids are
// reused by several templates, sometimes for different controls: every number has one name
// here, chosen after its main use, and the comment lists the other uses.
//
// Only plain #define lines with decimal values: the platform's resource parser reads this file.
#ifndef GPSDIALOGS_RESOURCE_H
#define GPSDIALOGS_RESOURCE_H

// ---------------------------------------------------------------------------------------------
// Dialog templates
// ---------------------------------------------------------------------------------------------
#define IDD_MOD_PUN_GPS 15039        // point editor window ("Modifica punto GPS")
#define IDD_MOD_PUN_GPS_PAGE1 15040  // page "Dati libretto"
#define IDD_MOD_PUN_GPS_PAGE2 15041  // page "Coordinate assolute"
#define IDD_MOD_PUN_GPS_PAGE3 15042  // page "Codici"
#define IDD_MOD_PUN_GPS_PAGE4 15043  // page "Dati GIS"
#define IDD_OPZ_TRASF_PT_GPS 15044   // "Trasformazione in punti GPS"
#define IDD_OPZ_CREA_PT_GPS 15045    // "Creazione punti GPS"
#define IDD_MOSTRA_PUN_GPS 15046     // "Coordinate punto GPS"
#define IDD_MOSTRA_GRP_GPS 15047     // "Coordinate stazione base GPS"
#define IDD_FIND_PUN 15048           // "Ricerca"
#define IDD_SEL_GRP_LIB_GPS 15050    // "Stampa libretto GPS"
#define IDD_SEL_BASE_GPS 15053       // "Sposta base GPS"
#define IDD_SEL_DATI_FILE 15149      // "Selezione campi"
#define IDD_MOD_PUN_GPS_PAGE2A 15150 // page "Punto finale di baseline"
#define IDD_MOD_STAZ_BASE 15151      // "Punto iniziale di baseline"

// ---------------------------------------------------------------------------------------------
// Controls of the point editor window
// ---------------------------------------------------------------------------------------------
#define IDC_SHEET_FRAME 2040 // hidden frame that places the page sheet
#define IDC_POINT_NOTE 2710  // "Note"

// ---------------------------------------------------------------------------------------------
// Controls of the point editor pages ("Dati libretto", "Coordinate assolute",
// "Punto finale di baseline"; the first six also on "Codici" and "Dati GIS")
// ---------------------------------------------------------------------------------------------
#define IDC_POINT_NAME 2530
#define IDC_GRAPHIC_MODEL 2531
#define IDC_NORTH 2532
#define IDC_GEOC_X                                                                                 \
    2533 // Dx; also geocentric X of the base station editor and
         // the theme list of "Dati GIS"
#define IDC_EAST 2534
#define IDC_HEIGHT 2535
#define IDC_ANTENNA_HEIGHT 2536
#define IDC_GROUP_NAME 2537
#define IDC_ELEVATION_LABEL 2538 // label "Elevazione :"
#define IDC_ELEVATION 2539
#define IDC_LON_MIN 2540
#define IDC_GEOC_Y 2541 // Dy; also geocentric Y of the base station editor
#define IDC_LON_SEC 2542
#define IDC_LAT_MIN 2543
#define IDC_GEOC_Z 2544 // Dz; also geocentric Z of the base station editor
#define IDC_LAT_SEC 2545
#define IDC_DESCRIPTION 2546
#define IDC_PDOP 2548
#define IDC_GDOP 2549
#define IDC_COV_XX 2550
#define IDC_COV_XY 2551 // also the description of "Creazione punti GPS"
#define IDC_COV_XZ 2552 // also the group list of "Creazione punti GPS"
#define IDC_COV_YY 2553 // also North of "Creazione punti GPS"
#define IDC_COV_YZ 2554 // also East of "Creazione punti GPS"
#define IDC_LAT_DEG 2705
#define IDC_LON_DEG 2706
#define IDC_VRS 2711 // "Punto di emanazione del rilievo"
#define IDC_COV_ZZ 2712

// ---------------------------------------------------------------------------------------------
// Controls of the page "Codici"
// ---------------------------------------------------------------------------------------------
#define IDC_CODE_OR 2680
#define IDC_CODE_QU 2681
#define IDC_CODE_NC 2682
#define IDC_CODE_LD 2683
#define IDC_CODE_CL 2684
#define IDC_CODE_IL 2688
#define IDC_CODE_FL 2689
#define IDC_CODE_NV 2690
#define IDC_CODE_NT 2691
#define IDC_CODE_NL 2692
#define IDC_CODE_OC 2693
#define IDC_CODE_NP 2694
#define IDC_CODE_NE 2695 // also the place-holder of the GIS table on "Dati GIS"

// ---------------------------------------------------------------------------------------------
// Controls of the page "Dati GIS" (besides the first six of the point editor pages)
// ---------------------------------------------------------------------------------------------
#define IDC_GIS_THEME IDC_GEOC_X        // 2533, the theme list
#define IDC_GIS_TABLE_PLACE IDC_CODE_NE // 2695, where the GIS table control goes
#define IDC_GIS_TABLE 1000              // the GIS table control, made at run time

// ---------------------------------------------------------------------------------------------
// Controls of the base station editor (geocentric X, Y, Z: IDC_GEOC_X, _Y, _Z)
// ---------------------------------------------------------------------------------------------
#define IDC_BASE_GROUP_NAME 2714
#define IDC_BASE_STATION_NAME 2715
#define IDC_BASE_DESCRIPTION 2716
#define IDC_BASE_ANTENNA_HEIGHT 2717
#define IDC_BASE_KNOWN_NETWORK 2718 // "Coordinate geocentriche note riferite a reti GPS"
#define IDC_BASE_PDOP 2719
#define IDC_BASE_GDOP 2720
#define IDC_SURVEY_TYPE 2721   // "Baseline", "RTK"
#define IDC_RECEIVER_TYPE 2722 // "Monofrequenza", "Doppia frequenza"
#define IDC_BASE_OK 2723
#define IDC_BASE_CANCEL 2724
#define IDC_BASE_NOTE 2725

// ---------------------------------------------------------------------------------------------
// Controls of the base station display and of the base station move
// ---------------------------------------------------------------------------------------------
#define IDC_SHOW_BASE_STATION 2600
#define IDC_SHOW_BASE_GROUP 2601
#define IDC_SHOW_BASE_EAST 2603
#define IDC_SHOW_BASE_NORTH 2604
#define IDC_SHOW_BASE_HEIGHT 2605
#define IDC_BASE_LIST 2707
#define IDC_MOVE_ANTENNA_HEIGHT 2709

// ---------------------------------------------------------------------------------------------
// Controls of the point creation options (group list, description, North, East:
// IDC_COV_XZ, IDC_COV_XY, IDC_COV_YY, IDC_COV_YZ) and of the transfer options
// ---------------------------------------------------------------------------------------------
#define IDC_NEW_HEIGHT 2555
#define IDC_NEW_ANTENNA_HEIGHT 2556
#define IDC_AUTO_NAME 2726 // "Assegna il nome automaticamente"
#define IDC_NEW_POINT_NAME 2727
#define IDC_TRANSFER_MESSAGE 2557
#define IDC_TRANSFER_ANTENNA_HEIGHT 2559
#define IDC_TRANSFER_GROUP 2560

// ---------------------------------------------------------------------------------------------
// Controls of the ASCII export layout ("Selezione campi")
// ---------------------------------------------------------------------------------------------
#define IDC_SEP_COMMA 2386 // first of the separator radio group
#define IDC_SEP_SEMICOLON 2387
#define IDC_SEP_SPACE 2388
#define IDC_SEP_TAB 2389
#define IDC_QUOTES_YES 2390 // first of the quotes radio group
#define IDC_QUOTES_NO 2391
#define IDC_FIELD_LIST 2696
#define IDC_GRID_PLACE 2697 // hidden; its rectangle places the grid
#define IDC_LAYOUT_OK 2698
#define IDC_LAYOUT_CANCEL 2699
#define IDC_ADD_FIELD 2700    // ">>"
#define IDC_REMOVE_FIELD 2701 // "<<"
#define IDC_MOVE_UP 2702      // "Sù"
#define IDC_MOVE_DOWN 2703    // "Giù"
#define IDC_ANGLE_FORMAT 2704
#define IDC_FIELD_GRID 1000 // the grid of chosen fields, made by the dialog in IDC_GRID_PLACE

// ---------------------------------------------------------------------------------------------
// Controls of the print selection, the point search and the point display
// ---------------------------------------------------------------------------------------------
#define IDC_PRINT_GROUPS 2080
#define IDC_FIND_TEXT 2000
#define IDC_FIND_IN_NAME 2001
#define IDC_FIND_IN_CODE 2002
#define IDC_SHOW_POINT_NAME 2590
#define IDC_SHOW_POINT_CODE 2591
#define IDC_SHOW_POINT_GROUP 2592
#define IDC_SHOW_POINT_EAST 2593
#define IDC_SHOW_POINT_NORTH 2594
#define IDC_SHOW_POINT_HEIGHT 2595

// ---------------------------------------------------------------------------------------------
// Strings
// ---------------------------------------------------------------------------------------------
#define IDS_TRANSFER_CONFIRM 15071
#define IDS_DELETE_CONFIRM 15073
#define IDS_DELETE_TITLE 15074
#define IDS_STARTING_FROM 15079
#define IDS_WITH 15080
#define IDS_QUANTITY 15081
#define IDS_EXPORT_FILE_TITLE 15094
#define IDS_IMPORT_FILE_TITLE 15095
#define IDS_OR_NOT_MODIFIABLE 15111
#define IDS_QU_NOT_MODIFIABLE 15112
#define IDS_DUPLICATE_NOT_MODIFIABLE 15113
#define IDS_EDITOR_SHEET_CAPTION 15114
#define IDS_EDITOR_SHEET_TITLE 15115
#define IDS_OR_NOT_DELETABLE 15116
#define IDS_QU_NOT_DELETABLE 15117
#define IDS_DUPLICATE_NOT_DELETABLE 15118
#define IDS_WARNING_CAPTION 15122
#define IDS_EDIT_POINTS_TITLE 15126
#define IDS_TRANSFER_COUNT 15131
#define IDS_GROUP_NO_PROJECTION 15140
#define IDS_POINT_NAME_REQUIRED 15141

// Angle formats of the export layout, in the order of their stored value 0 to 5.
#define IDS_ANGLE_FORMAT_0 15154
#define IDS_ANGLE_FORMAT_1 15155
#define IDS_ANGLE_FORMAT_2 15156
#define IDS_ANGLE_FORMAT_3 15157
#define IDS_ANGLE_FORMAT_4 15158
#define IDS_ANGLE_FORMAT_5 15159

// Captions of the export fields, in field id order 0 to 34.
#define IDS_FIELD_NAME 15160
#define IDS_FIELD_DESCRIPTION 15161
#define IDS_FIELD_LAT_MEAS 15162
#define IDS_FIELD_LON_MEAS 15163
#define IDS_FIELD_ELEV_ANT_MEAS 15164
#define IDS_FIELD_GEOC_X_GROUND_MEAS 15165
#define IDS_FIELD_GEOC_Y_GROUND_MEAS 15166
#define IDS_FIELD_GEOC_Z_GROUND_MEAS 15167
#define IDS_FIELD_ANTENNA_HEIGHT 15168
#define IDS_FIELD_QUALITY 15169
#define IDS_FIELD_NORTH 15170
#define IDS_FIELD_EAST 15171
#define IDS_FIELD_HEIGHT 15172
#define IDS_FIELD_RMS_HORIZ 15173
#define IDS_FIELD_RMS_VERT 15174
#define IDS_FIELD_PDOP 15175
#define IDS_FIELD_GDOP 15176
#define IDS_FIELD_COVARIANCE 15177
#define IDS_FIELD_NOTE 15178
#define IDS_FIELD_DATE 15179
#define IDS_FIELD_SECONDS_OF_DAY 15180
#define IDS_FIELD_GIS_DATA 15181
#define IDS_FIELD_GPS_SATELLITES 15182
#define IDS_FIELD_GLONASS_SATELLITES 15183
#define IDS_FIELD_LAT_WGS84 15184
#define IDS_FIELD_LON_WGS84 15185
#define IDS_FIELD_ELEV_ANT_WGS84 15186
#define IDS_FIELD_ELEV_GROUND_WGS84 15187
#define IDS_FIELD_GEOC_X_GROUND_WGS84 15188
#define IDS_FIELD_GEOC_Y_GROUND_WGS84 15189
#define IDS_FIELD_GEOC_Z_GROUND_WGS84 15190
#define IDS_FIELD_COMMENT 15191
#define IDS_FIELD_GIS_DATA_NAMED 15192
#define IDS_FIELD_GIS_TABLE 15193
#define IDS_FIELD_GIS_THEME 15194

#endif // GPSDIALOGS_RESOURCE_H
