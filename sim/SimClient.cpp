// The simulated management client's entry points: an application that can make an "MI_XML"
// serializer. The simulated hosts behind sessions are added to these tables.
#include "mgmt/MiClient.h"

namespace {

MI_Result ApplicationClose(MI_Application* application)
{
    *application = {};
    return MI_RESULT_OK;
}

MI_Result ApplicationNewSerializer(MI_Application*, MI_Uint32 flags, MI_Char* format,
                                   MI_Serializer* serializer)
{
    *serializer = {};
    if (flags != 0 || !format || lstrcmpW(format, L"MI_XML") != 0)
        return MI_RESULT_NOT_SUPPORTED;
    serializer->reserved2 = 1;
    return MI_RESULT_OK;
}

MI_Result SerializerClose(MI_Serializer* serializer)
{
    *serializer = {};
    return MI_RESULT_OK;
}

const MI_ApplicationFT applicationTable = [] {
    MI_ApplicationFT table{};
    table.Close = ApplicationClose;
    table.NewSerializer = ApplicationNewSerializer;
    return table;
}();

const MI_SerializerFT serializerTable = [] {
    MI_SerializerFT table{};
    table.Close = SerializerClose;
    return table;
}();

const MI_ClientFT_V1 clientTable = [] {
    MI_ClientFT_V1 table{};
    table.applicationFT = &applicationTable;
    table.serializerFT = &serializerTable;
    return table;
}();

}

MI_Result MI_Application_InitializeV1(MI_Uint32 flags, const MI_Char*, MI_Instance**,
                                      MI_Application* application)
{
    if (!application)
        return MI_RESULT_INVALID_PARAMETER;
    *application = {};
    if (flags != 0)
        return MI_RESULT_INVALID_PARAMETER;
    application->ft = &applicationTable;
    return MI_RESULT_OK;
}

const MI_ClientFT_V1* MiClientTable()
{
    return &clientTable;
}
