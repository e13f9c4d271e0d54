/* Identifiers shared by app.rc and main.c. */
#define IDI_APP     101
#define IDI_DOC     102
#define IDR_PAYLOAD 201
#define IDS_HELLO   1001
#define IDS_BYE     1002
#define APP_VERSION 3,1,4,15
#define APP_VERSION_TEXT "3.1.4.15"
