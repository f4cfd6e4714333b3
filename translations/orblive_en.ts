<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>AddMaterial</name>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Add </translation>
    </message>
    <message>
        <source>Select</source>
        <translation>Select </translation>
    </message>
    <message>
        <source>Picture</source>
        <translation>Picture</translation>
    </message>
    <message>
        <source>Video</source>
        <translation>Video</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Folder</translation>
    </message>
    <message>
        <source>ShowMouse</source>
        <translation>Show mouse</translation>
    </message>
    <message>
        <source>HFLIP</source>
        <translation>Flip horizontally</translation>
    </message>
    <message>
        <source>添加素材</source>
        <translation>Add material</translation>
    </message>
    <message>
        <source>请选择</source>
        <translation>Please choose</translation>
    </message>
    <message>
        <source>请保持窗口打开状态，否则将无法正常共享</source>
        <translation>Keep the window open, or it cannot be shared</translation>
    </message>
    <message>
        <source>左右翻转</source>
        <translation>Flip horizontally</translation>
    </message>
    <message>
        <source>上下翻转</source>
        <translation>Flip vertically</translation>
    </message>
    <message>
        <source>高级设置</source>
        <translation>Advanced settings</translation>
    </message>
    <message>
        <source>请添加视频</source>
        <translation>Add a video</translation>
    </message>
    <message>
        <source>浏览</source>
        <translation>Browse</translation>
    </message>
    <message>
        <source>循环播放</source>
        <translation>Loop</translation>
    </message>
    <message>
        <source>请选择图片组</source>
        <translation>Choose a picture folder</translation>
    </message>
    <message>
        <source>自动播放</source>
        <translation>Automatic</translation>
    </message>
    <message>
        <source>手动播放</source>
        <translation>Manual</translation>
    </message>
    <message>
        <source>上一页</source>
        <translation>Previous</translation>
    </message>
    <message>
        <source>请设置快捷键</source>
        <translation>Set a shortcut</translation>
    </message>
    <message>
        <source>快捷键上一页</source>
        <translation>Shortcut for the previous page</translation>
    </message>
    <message>
        <source>下一页</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>快捷键下一页</source>
        <translation>Shortcut for the next page</translation>
    </message>
    <message>
        <source>确认</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>配置未完成</source>
        <translation>The settings are not complete</translation>
    </message>
    <message>
        <source>未检测到摄像头，接入后将自动显示</source>
        <translation>No camera found; it appears as soon as one is plugged in</translation>
    </message>
    <message>
        <source>查看</source>
        <translation>View </translation>
    </message>
    <message>
        <source>支持扩展名 jpg/png/gif</source>
        <translation>jpg, png and gif files are supported</translation>
    </message>
    <message>
        <source>可用空格暂停/播放，支持 mp4/avi/mkv/flv</source>
        <translation>Space pauses and resumes; mp4, avi, mkv and flv are supported</translation>
    </message>
    <message>
        <source>添加素材失败</source>
        <translation>The material could not be added</translation>
    </message>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>上一页、下一页快捷键不能相同，请重新设置
</source>
        <translation>The previous-page and next-page shortcuts must differ. Please set them again.
</translation>
    </message>
    <message>
        <source>无法找到指定相机，名称: %1</source>
        <translation>Cannot find the camera named %1</translation>
    </message>
    <message>
        <source>无法获取相机高级配置，素材名称: %1</source>
        <translation>Cannot open the camera&apos;s advanced settings, material: %1</translation>
    </message>
</context>
<context>
    <name>AppContext</name>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>配置模块初始化失败，请检查程序完整性</source>
        <translation>The configuration could not be loaded. Please check that the program is installed completely.</translation>
    </message>
    <message>
        <source>网络任务初始化失败，请检查程序完整性</source>
        <translation>The network tasks could not be loaded. Please check that the program is installed completely.</translation>
    </message>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>系统检测到直播客户端已经运行，请勿重复启动</source>
        <translation>The broadcast client is already running; it cannot be started twice.</translation>
    </message>
</context>
<context>
    <name>ChatRoom</name>
    <message>
        <source>聊天室</source>
        <translation>Chat room</translation>
    </message>
</context>
<context>
    <name>Console</name>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>扬声器</source>
        <translation>Speakers</translation>
    </message>
    <message>
        <source>麦克风</source>
        <translation>Microphone</translation>
    </message>
    <message>
        <source>开始录制</source>
        <translation>Record</translation>
    </message>
    <message>
        <source>开始直播</source>
        <translation>Go live</translation>
    </message>
    <message>
        <source>cpu:0.00% 内存:0.00% 帧率:0.00</source>
        <translation>CPU: 0.00%  Memory: 0.00%  Frame rate: 0.00</translation>
    </message>
    <message>
        <source>是否要开始直播？</source>
        <translation>Go live now?</translation>
    </message>
    <message>
        <source>是否要结束直播？</source>
        <translation>End the broadcast?</translation>
    </message>
    <message>
        <source>结束直播</source>
        <translation>End broadcast</translation>
    </message>
    <message>
        <source>直播未能正常启动，请稍后再试。</source>
        <translation>The broadcast did not start. Please try again later.</translation>
    </message>
    <message>
        <source>直播未能正常停止，请稍后再试。</source>
        <translation>The broadcast did not stop. Please try again later.</translation>
    </message>
    <message>
        <source>是否要开始录制？</source>
        <translation>Start recording?</translation>
    </message>
    <message>
        <source>是否要结束录制？</source>
        <translation>Stop recording?</translation>
    </message>
    <message>
        <source>结束录制</source>
        <translation>End recording</translation>
    </message>
    <message>
        <source>录制未能正常启动，请稍后再试。</source>
        <translation>The recording did not start. Please try again later.</translation>
    </message>
    <message>
        <source>录制未能正常停止，请稍后再试。</source>
        <translation>The recording did not stop. Please try again later.</translation>
    </message>
    <message>
        <source>询问</source>
        <translation>Question</translation>
    </message>
</context>
<context>
    <name>InfoBar</name>
    <message>
        <source>直播间名称</source>
        <translation>Room name</translation>
    </message>
    <message>
        <source>直播时长</source>
        <translation>On air</translation>
    </message>
    <message>
        <source>录制时长</source>
        <translation>Recorded</translation>
    </message>
    <message>
        <source>演讲模式</source>
        <translation>Speech mode</translation>
    </message>
</context>
<context>
    <name>LiveSet</name>
    <message>
        <source>Select</source>
        <translation>Select </translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Folder</translation>
    </message>
    <message>
        <source>直播设置</source>
        <translation>Broadcast settings</translation>
    </message>
    <message>
        <source>视频</source>
        <translation>Video</translation>
    </message>
    <message>
        <source>输出分辨率</source>
        <translation>Output resolution</translation>
    </message>
    <message>
        <source>712 x 400 （16:9）</source>
        <translation>712 x 400 (16:9)</translation>
    </message>
    <message>
        <source>1280 x 720 （推荐）</source>
        <translation>1280 x 720 (recommended)</translation>
    </message>
    <message>
        <source>1920 x 1080 （16:9）</source>
        <translation>1920 x 1080 (16:9)</translation>
    </message>
    <message>
        <source>码率</source>
        <translation>Bit rate</translation>
    </message>
    <message>
        <source>1000 （流畅画质）</source>
        <translation>1000 (smooth)</translation>
    </message>
    <message>
        <source>1500 （标准画质）</source>
        <translation>1500 (standard)</translation>
    </message>
    <message>
        <source>2000 （高清画质）</source>
        <translation>2000 (high definition)</translation>
    </message>
    <message>
        <source>3000 （超清画质）</source>
        <translation>3000 (full HD)</translation>
    </message>
    <message>
        <source>帧率 FPS</source>
        <translation>Frame rate (FPS)</translation>
    </message>
    <message>
        <source>25</source>
        <translation>25</translation>
    </message>
    <message>
        <source>30</source>
        <translation>30</translation>
    </message>
    <message>
        <source>48</source>
        <translation>48</translation>
    </message>
    <message>
        <source>音频</source>
        <translation>Audio</translation>
    </message>
    <message>
        <source> 选择麦克风</source>
        <translation> Microphone</translation>
    </message>
    <message>
        <source> 选择扬声器</source>
        <translation> Speakers</translation>
    </message>
    <message>
        <source>录制</source>
        <translation>Recording</translation>
    </message>
    <message>
        <source>保存格式</source>
        <translation>Format</translation>
    </message>
    <message>
        <source>mp4</source>
        <translation>mp4</translation>
    </message>
    <message>
        <source>flv</source>
        <translation>flv</translation>
    </message>
    <message>
        <source>mkv</source>
        <translation>mkv</translation>
    </message>
    <message>
        <source>mov</source>
        <translation>mov</translation>
    </message>
    <message>
        <source> 保存地址</source>
        <translation> Save to</translation>
    </message>
    <message>
        <source>浏览</source>
        <translation>Browse</translation>
    </message>
    <message>
        <source>推流</source>
        <translation>Stream</translation>
    </message>
    <message>
        <source>推流地址</source>
        <translation>Stream address</translation>
    </message>
    <message>
        <source>复制</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>推流码</source>
        <translation>Stream key</translation>
    </message>
    <message>
        <source>重新获取推流地址</source>
        <translation>Get a new stream address</translation>
    </message>
    <message>
        <source>确认</source>
        <translation>OK</translation>
    </message>
    <message>
        <source> 取消</source>
        <translation> Cancel</translation>
    </message>
    <message>
        <source>录制保存地址不存在或无法写入，请重新选择保存地址。</source>
        <translation>The recording folder does not exist or cannot be written. Please choose another folder.</translation>
    </message>
    <message>
        <source>正在直播或录制，不能修改分辨率、码率和帧率。请先结束直播和录制，再修改视频设置。</source>
        <translation>Resolution, bit rate and frame rate cannot change while broadcasting or recording. Please stop both first, then change the video settings.</translation>
    </message>
    <message>
        <source>直播设置未能保存，请稍后再试。</source>
        <translation>The broadcast settings could not be saved. Please try again later.</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>WebView初始化失败，请检查程序完整性</source>
        <translation>The web view could not be started. Please check that the program is installed completely.</translation>
    </message>
    <message>
        <source>正在进入直播间,请稍后...</source>
        <translation>Entering the room, please wait...</translation>
    </message>
    <message>
        <source>无法获取Cookie信息，请重新登录</source>
        <translation>Cannot read the sign-in cookies. Please sign in again.</translation>
    </message>
    <message>
        <source>请选择数据文件</source>
        <translation>Choose a data file</translation>
    </message>
    <message>
        <source>您确定要关闭该程序吗？</source>
        <translation>Do you really want to quit the program?</translation>
    </message>
    <message>
        <source>询问</source>
        <translation>Question</translation>
    </message>
</context>
<context>
    <name>Material</name>
    <message>
        <source>添加素材</source>
        <translation>Add material</translation>
    </message>
</context>
<context>
    <name>MaterialCheck</name>
    <message>
        <source>所选桌面已不可用，请重新选择</source>
        <translation>The chosen screen is no longer available. Please choose again.</translation>
    </message>
    <message>
        <source>所选窗口已关闭，请重新选择</source>
        <translation>The chosen window was closed. Please choose again.</translation>
    </message>
    <message>
        <source>无法读取图片：%1</source>
        <translation>Cannot read the picture: %1</translation>
    </message>
    <message>
        <source>视频文件不存在：%1</source>
        <translation>The video file does not exist: %1</translation>
    </message>
    <message>
        <source>文件夹中没有图片：%1</source>
        <translation>The folder holds no pictures: %1</translation>
    </message>
</context>
<context>
    <name>NameDialog</name>
    <message>
        <source>素材名称</source>
        <translation>Material name</translation>
    </message>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>素材名应该是1-16个字符，可以包含中英文、下划线</source>
        <translation>A material name has 1 to 16 characters: letters, Chinese characters, digits or underscores.</translation>
    </message>
    <message>
        <source>素材名已经被使用，请重新输入</source>
        <translation>This material name is taken. Please enter another.</translation>
    </message>
</context>
<context>
    <name>OBSApp</name>
    <message>
        <source>直播引擎无法启动：没有可用的 X11 显示，请在图形桌面中运行</source>
        <translation>The broadcast engine cannot start: no X11 display is available. Please run the program on a graphical desktop.</translation>
    </message>
    <message>
        <source>直播引擎无法启动：音频初始化失败</source>
        <translation>The broadcast engine cannot start: audio could not be initialised</translation>
    </message>
    <message>
        <source>直播引擎无法启动：没有可用的图形支持（OpenGL/EGL）</source>
        <translation>The broadcast engine cannot start: no graphics support (OpenGL/EGL) is available</translation>
    </message>
    <message>
        <source>直播引擎无法启动：数据目录不可写（%1）</source>
        <translation>The broadcast engine cannot start: the data folder is not writable (%1)</translation>
    </message>
    <message>
        <source>直播引擎无法启动：缺少模块 %1</source>
        <translation>The broadcast engine cannot start: modules missing: %1</translation>
    </message>
    <message>
        <source>直播引擎无法启动，请检查程序完整性</source>
        <translation>The broadcast engine cannot start. Please check that the program is installed completely.</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>确定要删除素材“%1”吗？</source>
        <translation>Delete the material &quot;%1&quot;?</translation>
    </message>
</context>
<context>
    <name>OrbOBS</name>
    <message>
        <source>未知的素材类型</source>
        <translation>Unknown kind of material</translation>
    </message>
    <message>
        <source>此电脑上不能使用%1素材（缺少 %2 模块）</source>
        <translation>%1 materials are not available on this computer (the %2 module is missing)</translation>
    </message>
</context>
<context>
    <name>PageControl</name>
    <message>
        <source>首页</source>
        <translation>First</translation>
    </message>
    <message>
        <source>上一页</source>
        <translation>Previous</translation>
    </message>
    <message>
        <source>下一页</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>尾页</source>
        <translation>Last</translation>
    </message>
    <message>
        <source>跳转</source>
        <translation>Go</translation>
    </message>
    <message>
        <source>共%1条信息，分%2页显示</source>
        <translation>%1 items, %2 pages</translation>
    </message>
</context>
<context>
    <name>RequestNotice</name>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>请求未能发出，请检查网络配置后重试</source>
        <translation>The request could not be sent. Please check the network settings and try again.</translation>
    </message>
</context>
<context>
    <name>Room</name>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>请先停止直播或录制，然后再退出</source>
        <translation>Please stop broadcasting and recording before leaving</translation>
    </message>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>录制结束，视频文件
%1</source>
        <translation>Recording finished, video file
%1</translation>
    </message>
    <message>
        <source>系统错误，素材对话框未创建成功</source>
        <translation>System error: the material dialog could not be created</translation>
    </message>
    <message>
        <source>请先创建画面</source>
        <translation>Please create a scene first</translation>
    </message>
    <message>
        <source>系统错误，演讲者对话框未创建成功</source>
        <translation>System error: the speaker panel could not be created</translation>
    </message>
    <message>
        <source>  服务器连接中断，统计数据将在恢复后补报</source>
        <translation>  Server connection lost; statistics will be sent once it is back</translation>
    </message>
    <message>
        <source>与服务器的连接中断，直播不受影响，统计数据将在恢复后补报</source>
        <translation>The connection to the server was lost. The broadcast goes on; statistics will be sent once the connection is back.</translation>
    </message>
    <message>
        <source>录制意外中断（磁盘已满或无法写入），没有保存录制文件</source>
        <translation>The recording stopped unexpectedly (the disk is full or cannot be written). No recording was saved.</translation>
    </message>
    <message>
        <source>录制意外中断（磁盘已满或无法写入），已录制的内容保存在
%1</source>
        <translation>The recording stopped unexpectedly (the disk is full or cannot be written). What was recorded is saved in
%1</translation>
    </message>
    <message>
        <source>  画面卡顿，请在直播设置中降低分辨率或帧率</source>
        <translation>  The picture stutters: lower the resolution or frame rate in the live settings</translation>
    </message>
    <message>
        <source>电脑性能不足，观众看到的画面可能卡顿。请在直播设置中降低分辨率或帧率</source>
        <translation>This computer cannot keep up; viewers may see the picture stutter. Lower the resolution or frame rate in the live settings.</translation>
    </message>
</context>
<context>
    <name>RoomPlaceholder</name>
    <message>
        <source>演讲直播间</source>
        <translation>Speech room</translation>
    </message>
    <message>
        <source>直播间</source>
        <translation>Room</translation>
    </message>
    <message>
        <source>直播功能即将开放，关闭窗口可返回任务列表</source>
        <translation>Broadcasting is coming soon; close the window to return to the broadcast list</translation>
    </message>
    <message>
        <source>推流地址 %1</source>
        <translation>Stream address %1</translation>
    </message>
</context>
<context>
    <name>RoomSimple</name>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>演讲直播间</source>
        <translation>Speech room</translation>
    </message>
    <message>
        <source>直播时长</source>
        <translation>On air</translation>
    </message>
    <message>
        <source>00:00:00</source>
        <translation>00:00:00</translation>
    </message>
    <message>
        <source>请先停止直播，然后再退出</source>
        <translation>Please stop broadcasting before leaving</translation>
    </message>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
</context>
<context>
    <name>RoomStatusText</name>
    <message>
        <source>CPU: %1%  帧率: %2 fps</source>
        <translation>CPU: %1%  Frame rate: %2 fps</translation>
    </message>
    <message>
        <source>  延迟: %1 s</source>
        <translation>  Delay: %1 s</translation>
    </message>
    <message>
        <source>带宽: %1 %2  丢帧: %3 (%4%)</source>
        <translation>Bandwidth: %1 %2  Dropped frames: %3 (%4%)</translation>
    </message>
</context>
<context>
    <name>Scene</name>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Scene</source>
        <translation>Scene</translation>
    </message>
    <message>
        <source>Name</source>
        <translation> name</translation>
    </message>
    <message>
        <source>编辑</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>画面名称已经存在</source>
        <translation>A scene with this name already exists</translation>
    </message>
</context>
<context>
    <name>SceneTab</name>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Enable</source>
        <translation>Enable</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Lock</source>
        <translation>Lock</translation>
    </message>
    <message>
        <source>还未添加素材
从底部素材区进行添加吧</source>
        <translation>No materials yet
Add some from the material bar below</translation>
    </message>
</context>
<context>
    <name>Scheme</name>
    <message>
        <source>摄像头</source>
        <translation>Camera</translation>
    </message>
    <message>
        <source>桌面</source>
        <translation>Desktop</translation>
    </message>
    <message>
        <source>窗口</source>
        <translation>Window</translation>
    </message>
    <message>
        <source>图片</source>
        <translation>Picture</translation>
    </message>
    <message>
        <source>视频</source>
        <translation>Video</translation>
    </message>
    <message>
        <source>图片组</source>
        <translation>Slideshow</translation>
    </message>
    <message>
        <source>OrbLive 直播助手</source>
        <translation>OrbLive Studio</translation>
    </message>
    <message>
        <source>OrbLive 演讲直播</source>
        <translation>OrbLive Speech</translation>
    </message>
</context>
<context>
    <name>ServiceReplies</name>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>获取任务信息失败</source>
        <translation>Could not get the broadcast&apos;s details</translation>
    </message>
    <message>
        <source>邀请码</source>
        <translation>Invitation code</translation>
    </message>
    <message>
        <source>获取用户信息失败</source>
        <translation>Could not get the user&apos;s details</translation>
    </message>
    <message>
        <source>网络请求失败，APP端可能无法观看直播，
请结束直播，检查网络，然后再开启直播</source>
        <translation>The network request failed, so viewers in the app may not see the broadcast.
Please end the broadcast, check the network, then go live again.</translation>
    </message>
</context>
<context>
    <name>SourceKinds</name>
    <message>
        <source>相机</source>
        <translation>Camera</translation>
    </message>
    <message>
        <source>桌面</source>
        <translation>Desktop</translation>
    </message>
    <message>
        <source>窗口</source>
        <translation>Window</translation>
    </message>
    <message>
        <source>图片</source>
        <translation>Picture</translation>
    </message>
    <message>
        <source>视频</source>
        <translation>Video</translation>
    </message>
    <message>
        <source>图片组</source>
        <translation>Slideshow</translation>
    </message>
</context>
<context>
    <name>SourceListWidget</name>
    <message>
        <source>上移</source>
        <translation>Up</translation>
    </message>
    <message>
        <source>下移</source>
        <translation>Down</translation>
    </message>
</context>
<context>
    <name>SourceMenu</name>
    <message>
        <source>上移一层</source>
        <translation>Move up</translation>
    </message>
    <message>
        <source>下移一层</source>
        <translation>Move down</translation>
    </message>
    <message>
        <source>移至顶层</source>
        <translation>Move to top</translation>
    </message>
    <message>
        <source>移至底层</source>
        <translation>Move to bottom</translation>
    </message>
    <message>
        <source>隐藏</source>
        <translation>Hide</translation>
    </message>
    <message>
        <source>显示</source>
        <translation>Show</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>属性</source>
        <translation>Properties</translation>
    </message>
</context>
<context>
    <name>SpeakSimple</name>
    <message>
        <source>演讲控制</source>
        <translation>Speech controls</translation>
    </message>
    <message>
        <source>静音</source>
        <translation>Mute</translation>
    </message>
    <message>
        <source>开启相机</source>
        <translation>Camera on</translation>
    </message>
    <message>
        <source>共享</source>
        <translation>Share</translation>
    </message>
    <message>
        <source>开始直播</source>
        <translation>Go live</translation>
    </message>
    <message>
        <source>素材库</source>
        <translation>Materials</translation>
    </message>
    <message>
        <source>演讲模式</source>
        <translation>Speech mode</translation>
    </message>
    <message>
        <source>聊天室</source>
        <translation>Chat room</translation>
    </message>
    <message>
        <source>网络异常，直播数据将在网络恢复后补报</source>
        <translation>Network problem: broadcast data will be sent once the network is back</translation>
    </message>
    <message>
        <source>结束共享</source>
        <translation>Stop sharing</translation>
    </message>
    <message>
        <source>关闭相机</source>
        <translation>Camera off</translation>
    </message>
    <message>
        <source>直播未能正常停止，请稍后再试。</source>
        <translation>The broadcast did not stop. Please try again later.</translation>
    </message>
    <message>
        <source>停止直播</source>
        <translation>Stop broadcast</translation>
    </message>
    <message>
        <source>直播未能正常启动，请稍后再试。</source>
        <translation>The broadcast did not start. Please try again later.</translation>
    </message>
    <message>
        <source>退出演讲</source>
        <translation>Leave speech mode</translation>
    </message>
    <message>
        <source>取消静音</source>
        <translation>Unmute</translation>
    </message>
    <message>
        <source>相机开启失败，请检查相机后再试。</source>
        <translation>The camera could not be turned on. Please check it and try again.</translation>
    </message>
    <message>
        <source>共享“%1”失败，请重新选择。</source>
        <translation>Could not share &quot;%1&quot;. Please choose again.</translation>
    </message>
</context>
<context>
    <name>Speaker</name>
    <message>
        <source>聊天</source>
        <translation>Chat</translation>
    </message>
    <message>
        <source>开始录制</source>
        <translation>Record</translation>
    </message>
    <message>
        <source>开始直播</source>
        <translation>Go live</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Leave</translation>
    </message>
    <message>
        <source>结束直播</source>
        <translation>End broadcast</translation>
    </message>
    <message>
        <source>结束录制</source>
        <translation>End recording</translation>
    </message>
</context>
<context>
    <name>StudioStrings</name>
    <message>
        <source>桌面音频</source>
        <translation>Desktop audio</translation>
    </message>
    <message>
        <source>桌面音频 2</source>
        <translation>Desktop audio 2</translation>
    </message>
    <message>
        <source>麦克风</source>
        <translation>Microphone</translation>
    </message>
    <message>
        <source>麦克风 2</source>
        <translation>Microphone 2</translation>
    </message>
    <message>
        <source>画面</source>
        <translation>Scene</translation>
    </message>
    <message>
        <source>素材</source>
        <translation>Materials</translation>
    </message>
</context>
<context>
    <name>Task</name>
    <message>
        <source>个人设置</source>
        <translation>Profile</translation>
    </message>
    <message>
        <source> 退出登录</source>
        <translation> Sign out</translation>
    </message>
    <message>
        <source>等待开播</source>
        <translation>Waiting to start</translation>
    </message>
    <message>
        <source>已结束  </source>
        <translation>Ended  </translation>
    </message>
    <message>
        <source>加入直播</source>
        <translation>Join a broadcast</translation>
    </message>
    <message>
        <source>全部课程</source>
        <translation>All broadcasts</translation>
    </message>
    <message>
        <source>待开播</source>
        <translation>Upcoming</translation>
    </message>
    <message>
        <source>请输入直播间标题</source>
        <translation>Search by title</translation>
    </message>
    <message>
        <source>直播间标题</source>
        <translation>Title</translation>
    </message>
    <message>
        <source>开播时间</source>
        <translation>Starts at</translation>
    </message>
    <message>
        <source>预计结束时间</source>
        <translation>Ends at</translation>
    </message>
    <message>
        <source>操作</source>
        <translation>Actions</translation>
    </message>
    <message>
        <source>已结束</source>
        <translation>Ended</translation>
    </message>
    <message>
        <source>该直播主持人已被修改，请与直播负责人确认直播信息</source>
        <translation>The broadcast&apos;s presenter has changed. Please check the broadcast with its organiser.</translation>
    </message>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>结束直播后将无法重新开始，请确认是否结束直播？</source>
        <translation>An ended broadcast cannot be started again. Do you really want to end it?</translation>
    </message>
    <message>
        <source>询问</source>
        <translation>Question</translation>
    </message>
</context>
<context>
    <name>TitleBar</name>
    <message>
        <source>TitleBar</source>
        <translation>TitleBar</translation>
    </message>
    <message>
        <source>title</source>
        <translation>title</translation>
    </message>
    <message>
        <source>name</source>
        <translation>name</translation>
    </message>
    <message>
        <source>About</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Set</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>Minimize</translation>
    </message>
    <message>
        <source>Maximize</source>
        <translation>Maximize</translation>
    </message>
    <message>
        <source>maximize</source>
        <translation>maximize</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Restore</translation>
    </message>
</context>
<context>
    <name>ToastClass</name>
    <message>
        <source>Toast</source>
        <translation>Toast</translation>
    </message>
</context>
<context>
    <name>live::OrbHttpMgr</name>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>服务器应答数据过大，已放弃接收</source>
        <translation>The server&apos;s reply was too large and was not received</translation>
    </message>
    <message>
        <source>网络应答错误，请检查网络</source>
        <translation>The network request failed. Please check the network.</translation>
    </message>
    <message>
        <source>%1
请求地址 %2
错误码 %3</source>
        <translation>%1
Address %2
Error code %3</translation>
    </message>
</context>
<context>
    <name>obsSourceManage</name>
    <message>
        <source>素材管理</source>
        <translation>Material manager</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>orbLive_ShareWinEnumWidget</name>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>桌面</source>
        <translation>Desktop</translation>
    </message>
</context>
<context>
    <name>orbLive_jionRoomItem</name>
    <message>
        <source>结束直播</source>
        <translation>End broadcast</translation>
    </message>
    <message>
        <source>直播回放</source>
        <translation>Playback</translation>
    </message>
    <message>
        <source>进入直播间</source>
        <translation>Enter room</translation>
    </message>
</context>
<context>
    <name>ormLive_AskDialog</name>
    <message>
        <source>ormLive_AskDialog</source>
        <translation>ormLive_AskDialog</translation>
    </message>
    <message>
        <source>请输入邀请码</source>
        <translation>Enter the invitation code</translation>
    </message>
    <message>
        <source>加  入</source>
        <translation>Join</translation>
    </message>
    <message>
        <source>确  定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取  消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>复  制</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>复制邀请码成功</source>
        <translation>Invitation code copied</translation>
    </message>
</context>
</TS>
