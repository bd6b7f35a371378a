SET NOCOUNT ON
CREATE TABLE #Stack(FItemID INT ,FDetail INT,FLevel INT)
INSERT INTO #Stack(FItemID,FDetail,FLevel) VALUES(1019,0,1)
DECLARE @Level INT
DECLARE @CurrentItemID INT
SET @Level=1
WHILE @Level>0
BEGIN
    IF EXISTS(SELECT * FROM #Stack WHERE FLevel=@Level AND FDetail=0)
    BEGIN
        SELECT @CurrentItemID=FItemID FROM #Stack
        WHERE FLevel=@Level AND FDetail=0
        DELETE FROM #Stack WHERE FLevel=@Level AND FItemID=@CurrentItemID
        INSERT INTO #Stack(FItemID,FDetail,FLevel)
        SELECT FItemID,FDetail,@Level+1 FROM t_Item WHERE FParentID=@CurrentItemID AND FItemClassID=1
        IF @@ROWCOUNT>0
            SELECT @Level=@Level+1
END
Else
    SELECT @Level=@Level-1
END
SELECT Distinct v1.FItemID 
 FROM #Stack v1 
 WHERE 1=1 
 ORDER BY v1.FItemID

DROP TABLE #Stack
SET NOCOUNT OFF
